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

  bool Has(const std::string& name) const { return values.count(name) > 0 || flags.count(name) > 0; }
};

// Parses `args` against `specs` ("--help" is always known). False with *error naming the
// offending argument when an option is unknown, repeated, lacks its value, or an argument
// is not an option.
[[nodiscard]] bool ParseOptions(const std::vector<std::string>& args,
                                std::initializer_list<OptionSpec> specs, ParsedOptions* out,
                                std::string* error);
