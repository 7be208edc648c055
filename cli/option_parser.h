// The option parser that every netvora-cli verb shares: long options, each either a flag
// or followed by one value. Pure.
#pragma once

#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

struct OptionSpec {
  const char* name;  // with its dashes: "--mac"
  bool takesValue;
};

struct ParsedOptions {
  std::map<std::string, std::string> values;
  std::set<std::string> flags;
  std::vector<std::string> positional;  // arguments that are not options, in order

  bool Has(const std::string& name) const {
    return values.count(name) > 0 || flags.count(name) > 0;
  }
};

// Parses `args` against `specs` ("--help" is always known). False with *error naming the
// offending argument when an option is unknown, repeated or lacks its value, or when more
// than `maxPositional` arguments are not options.
[[nodiscard]] bool ParseOptions(const std::vector<std::string>& args,
                                std::initializer_list<OptionSpec> specs, ParsedOptions* out,
                                std::string* error, size_t maxPositional = 0);
