// netvora-cli search: finds the printers of both families, out of every interface or at
// the --to addresses.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/found_printers.h"
#include "cli/send_scope.h"

// Asks both families at once, along the scope's routes: the configuration search (until
// 2 s pass without a reply) runs on a second thread while text replies are collected, and
// the search ends when both are quiet, text replies 1.5 s after the last one. With
// `macDigits` (twelve hex digits) only the text printer with that address is asked. Each
// printer is listed once, with the interface of its first answer. False after a one-line
// message to `err` when a port is unavailable or a request cannot be sent.
[[nodiscard]] bool SearchAllPrinters(const SendScope& scope, const std::string* macDigits,
                                     FoundPrinters* found, std::ostream& err);

// `search [--mac MAC] [--json | --csv] [--interface NAME]... [--to ADDRESS]...`: 0 when at
// least one printer answered, 1 when none did, 2 on bad usage or when the search could
// not run.
[[nodiscard]] int RunSearch(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err);
