// netvora-cli search: finds the printers on the local network and lists them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "protocol/printer_info.h"

constexpr int EXIT_FOUND = 0;
constexpr int EXIT_NOT_FOUND = 1;  // no printer found, or the printer refused
constexpr int EXIT_USAGE = 2;      // bad usage or a local failure

// The configuration-protocol printers answering a broadcast search, sorted by MAC. False
// after writing a one-line message to `err` when the search could not run.
[[nodiscard]] bool SearchConfigPrinters(std::vector<PrinterInfo>* found, std::ostream& err);

// `search [--json]`: 0 when at least one printer answered, 1 when none did, 2 on bad usage
// or when the search could not run.
int RunSearch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
