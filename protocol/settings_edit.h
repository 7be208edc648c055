// The edit that saving settings makes to a configuration-protocol record before it is
// written, and the texts that report a failed write. Shared by the window and the CLI.
// Pure; thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "protocol/printer_info.h"
#include "protocol/texts.h"

// The print ports a user may set.
constexpr unsigned MIN_PRINT_PORT = 1024;
constexpr unsigned MAX_PRINT_PORT = 50000;

struct NetworkSettings {
  uint32_t ipAddress;  // network order, as are the other addresses
  uint32_t subnetMask;
  uint32_t gateway;
  uint16_t port;
};

// Writes the addresses into the record. Returns false, with the record holding the new
// addresses and nothing else changed, when IsUsableHostAddress refuses them. Otherwise
// writes the print port and, in channels 0 and 1, clears bit 11 and sets bit 10 of the
// channel word.
[[nodiscard]] bool ApplyNetworkSettings(PrinterInfo* record, const NetworkSettings& settings);

// What a failed WritePrinterSettings reports, one message after the other (the texts of
// protocol/texts.h).
std::vector<std::string> WriteFailureMessages(int error);
