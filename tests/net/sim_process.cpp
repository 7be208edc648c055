#include "tests/net/sim_process.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "netvora-" + std::to_string(getpid()) + "-" + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

SimProcess::SimProcess(const NetnsLab& lab, const std::string& args)
    : SimProcess(lab, lab.PrinterNamespace(), args) {}

SimProcess::SimProcess(const NetnsLab& lab, const std::string& space, const std::string& args)
    : m_lab(lab), m_strSpace(space), m_strLog(TempPath("sim-" + space + ".log")) {
  std::string pid;
  m_lab.RunIn(m_strSpace,
              std::string(NETVORA_SIM_PATH) + " " + args + " >" + m_strLog + " 2>&1 & echo $!",
              &pid);
  m_pid = static_cast<pid_t>(std::atol(pid.c_str()));
  for (int tries = 0; tries < 100 && !Listening(); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

SimProcess::~SimProcess() {
  if (m_pid > 0) kill(m_pid, SIGTERM);
  for (int tries = 0; tries < 100 && m_pid > 0 && kill(m_pid, 0) == 0; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::remove(m_strLog.c_str());
}

bool SimProcess::Listening() const {
  std::string sockets;
  m_lab.RunIn(m_strSpace, "ss -Huln sport = :50005", &sockets);
  return !sockets.empty();
}

std::string SimProcess::Log() const { return ReadFile(m_strLog); }
