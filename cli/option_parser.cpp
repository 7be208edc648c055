#include "cli/option_parser.h"

#include <algorithm>
#include <cstring>

bool ParseOptions(const std::vector<std::string>& args, std::initializer_list<OptionSpec> specs,
                  ParsedOptions* out, std::string* error, size_t maxPositional) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      out->flags.insert("--help");
      continue;
    }
    if (arg.rfind("-", 0) != 0 && out->positional.size() < maxPositional) {
      out->positional.push_back(arg);
      continue;
    }
    const auto option = std::find_if(specs.begin(), specs.end(),
                                     [&](const OptionSpec& s) { return arg == s.name; });
    if (option == specs.end()) {
      *error = "unknown argument '" + arg + "'";
      return false;
    }
    if (out->Has(arg)) {
      *error = "option " + arg + " given twice";
      return false;
    }
    if (!option->takesValue) {
      out->flags.insert(arg);
      continue;
    }
    if (i + 1 == args.size()) {
      *error = "option " + arg + " needs a value";
      return false;
    }
    out->values[arg] = args[++i];
  }
  return true;
}
