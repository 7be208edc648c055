// A plan for `netvora-cli apply`: CSV (RFC 4180) whose header row names any of the columns
// mac, ip, mask, gateway, port, dhcp and password (mac required; names in any case, in any
// order), then one row per printer. An empty cell keeps the printer's value. Pure;
// thread-safe.
//
//   mac,ip,mask,port
//   02:00:00:00:00:01,198.51.100.20,255.255.255.0,9100
//   44:A8:C2:00:00:01,198.51.100.21,,
#pragma once

#include <string>
#include <vector>

#include "cli/settings_change.h"

// A longer plan is refused before it is read.
constexpr size_t PLAN_SIZE_MAX = 1 << 20;

struct PlanRow {
  int line;  // where the row starts in the file, counted from 1
  SettingsChange change;
};

// Reads a plan. Rows whose cells are all empty are skipped. Every cell but a password is
// read without the spaces and tabs around it. False, with one "line N: ..." text per fault
// in *errors (every fault, not just the first), when the text is not CSV, longer than
// PLAN_SIZE_MAX, has no header or no printer row, names an unknown column or one twice or
// lacks mac, has a row with more or fewer cells than the header, or a cell that is no value
// of its column (a MAC, a dotted address, a port 1024..50000, on or off, a password of at
// most 10 bytes), or names a MAC that an earlier row names already.
[[nodiscard]] bool ParsePlan(const std::string& text, std::vector<PlanRow>* rows,
                             std::vector<std::string>* errors);
