// Command line of printer-sim: the simulated printers and their faults. Pure parsing.
#pragma once

#include <string>
#include <vector>

#include "sim/config_service.h"
#include "sim/sim_printer.h"
#include "sim/tcp_services.h"
#include "sim/text_service.h"

constexpr uint16_t SIM_DEFAULT_PRINT_PORT = 9100;

struct SimOptions {
  std::vector<SimPrinter> printers;
  ConfigServiceFaults serviceFaults;
  std::vector<SimTextPrinter> textPrinters;
  bool download = true;
  DownloadFaults downloadFaults;
  uint16_t printPort = SIM_DEFAULT_PRINT_PORT;  // 0: no print port
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name. False with *error set on bad usage.
[[nodiscard]] bool ParseSimOptions(const std::vector<std::string>& args, SimOptions* options,
                                   std::string* error);

// The text of --help.
const char* SimUsage();
