// The simulator as a test peer: a lab with printer-sim's configuration service (UDP 50005)
// and, when the arguments describe text-protocol printers, its text service (UDP 27700)
// serving on the printer side (in-process, each on its own thread), and the calling thread
// on the client side. Not thread-safe; one per test.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sim/config_service.h"
#include "sim/text_service.h"
#include "tests/net/netns_lab.h"

class SimPeer {
 public:
  // Creates the lab, starts the simulator with printer-sim's command-line `args` and moves
  // the calling thread to the client side. Returns nullptr with *why set when that fails;
  // *noLab then tells whether the machine cannot make a lab at all (not root, no
  // namespaces), which skips a test unless CI requires labs.
  static std::unique_ptr<SimPeer> Launch(const std::vector<std::string>& args, std::string* why,
                                         bool* noLab);
  // Launch for GoogleTest: returns nullptr after adding a test failure (or, where the
  // machine has no namespaces and CI is not set, after printing why).
  static std::unique_ptr<SimPeer> Start(const std::vector<std::string>& args);
  ~SimPeer();  // stops the simulator, returns to the host namespace, removes the lab

  const NetnsLab& Lab() const { return *m_pLab; }
  std::vector<PrinterInfo> Printers() const { return m_pService->Printers(); }

 private:
  SimPeer() = default;
  // Runs `serve` on a thread in the printer namespace with a socket from `open`; false with
  // *why set when the thread cannot enter the namespace or open its socket.
  template <typename Service>
  bool Serve(Service* service, SocketHandle (*open)(int*), const char* what, std::string* why);

  std::unique_ptr<NetnsLab> m_pLab;
  std::unique_ptr<ConfigService> m_pService;
  std::unique_ptr<TextService> m_pText;
  std::atomic<bool> m_bStop{false};
  std::vector<std::thread> m_threads;
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
