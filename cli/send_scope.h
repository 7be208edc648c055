// Where netvora-cli sends its requests: a limited broadcast out of every interface that can
// broadcast (or out of those that --interface names), or, with --to, to the given addresses
// and nowhere else. Reading it lists the machine's interfaces and sends nothing. Not
// thread-safe; a read scope may be shared by readers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/option_parser.h"
#include "common/net_interfaces.h"

struct SendScope {
  std::vector<NetInterface> all;     // every interface that can broadcast, to name arrivals
  std::vector<NetInterface> chosen;  // the interfaces broadcasts leave by (none with --to)
  std::vector<uint32_t> directed;    // the --to addresses, network order, each once

  bool Directed() const { return !directed.empty(); }
  // One route per --to address, or a limited broadcast out of each chosen interface.
  std::vector<DatagramRoute> Routes() const;
  // The name of the interface with that index, or "" when it is not one of `all`.
  std::string InterfaceName(uint32_t index) const;
};

// Reads the repeatable --interface NAME and --to ADDRESS options (a verb without --to
// simply never has it). False with *error set, for exit status 2, when a name is not an
// interface that can broadcast (the message lists those that can), an address is not a
// dotted host or subnet-broadcast address, both options are given, or, without --to, when
// the interfaces cannot be listed or none can broadcast.
[[nodiscard]] bool ReadSendScope(const ParsedOptions& options, SendScope* scope,
                                 std::string* error);
