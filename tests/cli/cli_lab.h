// The real programs in a namespace lab: printer-sim as a process in a namespace of the lab,
// netvora-cli run in the client namespace, each run with its change log in this test
// program's own temporary folder (removed when the program ends). Not thread-safe.
#pragma once

#include <sys/types.h>

#include <string>

#include "tests/net/netns_lab.h"

// printer-sim running as a process in one namespace of the lab, until destroyed.
class SimProcess {
 public:
  // In the lab's printer namespace.
  SimProcess(const NetnsLab& lab, const std::string& args);
  SimProcess(const NetnsLab& lab, const std::string& space, const std::string& args);
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Whether its configuration service has bound UDP 50005.
  bool Listening() const;
  // What it has printed so far ("stored ..." lines, pages).
  std::string Log() const;

 private:
  const NetnsLab& m_lab;
  std::string m_strSpace;
  std::string m_strLog;
  pid_t m_pid = 0;
};

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

// Runs `netvora-cli ARGS` in the client namespace; ARGS must not contain a single quote.
CliResult RunCli(const NetnsLab& lab, const std::string& args);

// The change log that netvora-cli writes when no --log is given ($XDG_STATE_HOME of its
// runs), and a file name of this test program's own in the temporary folder.
std::string DefaultChangeLog();
std::string TempPath(const std::string& name);
// A file's whole content ("" when it does not exist).
std::string ReadFile(const std::string& path);
