// netvora-cli search: finds the printers of both families on the local network.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/printer_rows.h"

// Asks both families as the Search button does: broadcasts the text search on UDP 27700,
// runs the configuration search, and keeps collecting text replies until 1.5 s pass
// without one. With `macDigits` (twelve hex digits) only the text printer with that
// address is asked. False after a one-line message to `err` when a port is unavailable.
[[nodiscard]] bool SearchAllPrinters(const std::string* macDigits, FoundPrinters* found,
                                     std::ostream& err);

// `search [--mac MAC] [--json]`: 0 when at least one printer answered, 1 when none did, 2
// on bad usage or when the search could not run.
[[nodiscard]] int RunSearch(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err);
