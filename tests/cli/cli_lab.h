// netvora-cli run in the client namespace of a lab, each run with its change log in this
// test program's own temporary folder (removed when the program ends). Not thread-safe.
#pragma once

#include <string>

#include "tests/net/sim_process.h"

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

// Runs `netvora-cli ARGS` in the client namespace; ARGS must not contain a single quote.
CliResult RunCli(const NetnsLab& lab, const std::string& args);

// The change log that netvora-cli writes when no --log is given ($XDG_STATE_HOME of its
// runs).
std::string DefaultChangeLog();
