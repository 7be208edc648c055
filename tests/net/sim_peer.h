// The simulator as a test peer: a lab with printer-sim's configuration service serving on
// the printer side (in-process, on its own thread) and the test thread on the client side.
// Not thread-safe; one per test.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sim/config_service.h"
#include "tests/net/netns_lab.h"

class SimPeer {
 public:
  // Creates the lab, starts the simulator with printer-sim's command-line `args` and moves
  // the calling thread to the client side. Returns nullptr after adding a test failure
  // (or, where the machine has no namespaces and CI is not set, after printing why).
  static std::unique_ptr<SimPeer> Start(const std::vector<std::string>& args);
  ~SimPeer();  // stops the simulator, returns to the host namespace, removes the lab

  std::vector<PrinterInfo> Printers() const { return m_pService->Printers(); }

 private:
  SimPeer() = default;
  std::unique_ptr<NetnsLab> m_pLab;
  std::unique_ptr<ConfigService> m_pService;
  std::atomic<bool> m_bStop{false};
  std::thread m_thread;
};

// Skips the test when Start returned nullptr without a failure.
#define NETVORA_START_PEER(peer, ...)                 \
  auto peer = SimPeer::Start(__VA_ARGS__);            \
  if (!peer) {                                        \
    if (::testing::Test::HasFailure()) return;        \
    GTEST_SKIP() << "network namespaces unavailable"; \
  }

// Address text in network order, for comparisons.
uint32_t Ipv4(const char* text);
