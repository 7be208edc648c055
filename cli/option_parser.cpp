#include "cli/option_parser.h"

#include <algorithm>

const std::vector<std::string>& ParsedOptions::List(const std::string& name) const {
  static const std::vector<std::string> none;
  const auto it = lists.find(name);
  return it == lists.end() ? none : it->second;
}

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
    if (option->kind != OptionKind::kRepeatable && out->Has(arg)) {
      *error = "option " + arg + " given twice";
      return false;
    }
    if (option->kind == OptionKind::kFlag) {
      out->flags.insert(arg);
      continue;
    }
    if (i + 1 == args.size()) {
      *error = "option " + arg + " needs a value";
      return false;
    }
    if (option->kind == OptionKind::kRepeatable) {
      out->lists[arg].push_back(args[++i]);
    } else {
      out->values[arg] = args[++i];
    }
  }
  return true;
}
