// netvora-cli apply: sets up many printers from one plan file.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// `apply [--dry-run] [--json] [--interface NAME]... [--log FILE] PLAN.csv`: checks every
// row of the plan, searches, refuses a plan whose addresses conflict, then (unless
// --dry-run) writes each printer that changes, searches again and verifies every planned
// value. One line (or with --json one JSON object) per row. 0 when every row ended changed
// or unchanged and verified (a dry run: when the plan passed its checks), 1 when any did
// not, 2 on bad usage, a refused plan (nothing is sent or written) or a local failure.
[[nodiscard]] int RunApply(const std::vector<std::string>& args, std::ostream& out,
                           std::ostream& err);
