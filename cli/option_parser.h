// The option parser that every netvora-cli verb shares: long options, each a flag, or
// followed by one value, or followed by a value and repeatable. Pure.
#pragma once

#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

enum class OptionKind { kFlag, kValue, kRepeatable };

struct OptionSpec {
  const char* name;  // with its dashes: "--mac"
  OptionKind kind;
};

struct ParsedOptions {
  std::map<std::string, std::string> values;              // options given once
  std::map<std::string, std::vector<std::string>> lists;  // repeatable ones, in order
  std::set<std::string> flags;
  std::vector<std::string> positional;  // arguments that are not options, in order

  bool Has(const std::string& name) const {
    return values.count(name) > 0 || lists.count(name) > 0 || flags.count(name) > 0;
  }
  // The values of a repeatable option, in the order given; empty when it was not.
  const std::vector<std::string>& List(const std::string& name) const;
};

// Parses `args` against `specs` ("--help" is always known). False with *error naming the
// offending argument when an option is unknown, lacks its value, or is repeated without
// being repeatable, or when more than `maxPositional` arguments are not options.
[[nodiscard]] bool ParseOptions(const std::vector<std::string>& args,
                                std::initializer_list<OptionSpec> specs, ParsedOptions* out,
                                std::string* error, size_t maxPositional = 0);
