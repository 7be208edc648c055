// The checks a plan must pass once its printers have been found, before anything is
// written: no two printers end up with one address, no address goes to a printer that
// another found printer holds and keeps, no address that Save would refuse under its mask
// (IsUsableHostAddress), no setting that the printer's family does not have; a gateway
// outside the printer's subnet is only a warning. Pure; thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/found_printers.h"

// A plan row whose printer was found.
struct PlannedPrinter {
  int line;
  std::string mac;  // as messages name the printer
  bool textFamily;
  PrinterValues before;  // as found
  PrinterValues after;   // with the row's changes made
  bool ipGiven;          // the row's ip cell names an address (a kept one too)
  bool dhcpGiven;
  bool passwordGiven;
};

// A found printer that the plan does not name: it keeps its address.
struct KeptPrinter {
  std::string mac;
  uint32_t ip;  // network order
};

struct PlanFinding {
  int line;
  bool refusal;  // false: a warning, the plan may go on
  std::string text;
};

// Every refusal and warning, in the order of the rows' lines. A pair of rows that give one
// address to two printers is reported once, on the later line.
std::vector<PlanFinding> CheckPlan(const std::vector<PlannedPrinter>& planned,
                                   const std::vector<KeptPrinter>& kept);
