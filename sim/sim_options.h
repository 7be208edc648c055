// Command line of printer-sim: the simulated printers and their faults. Pure parsing.
#pragma once

#include <string>
#include <vector>

#include "sim/sim_printer.h"

struct SimOptions {
  std::vector<SimPrinter> printers;
  bool strangerOnWrite = false;
  bool help = false;
};

// Parses the arguments after the program name. False with *error set on bad usage.
[[nodiscard]] bool ParseSimOptions(const std::vector<std::string>& args, SimOptions* options,
                                   std::string* error);

// The text of --help.
const char* SimUsage();
