// printer-sim as a process in one namespace of a lab, and the test program's own files in
// the temporary folder. Not thread-safe.
#pragma once

#include <sys/types.h>

#include <string>

#include "tests/net/netns_lab.h"

// A file name of this test program's own in the temporary folder, so that test programs
// running side by side never share one.
std::string TempPath(const std::string& name);
// A file's whole content ("" when it does not exist).
std::string ReadFile(const std::string& path);

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
