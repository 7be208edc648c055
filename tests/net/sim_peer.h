// The simulator as a test peer: a lab with printer-sim's services serving on the printer
// side (in-process, each on its own thread): the configuration service (UDP 50005), the
// text service (UDP 27700) when the arguments describe text-protocol printers, and, as
// printer-sim's arguments ask, the download service (TCP 26600) and the print port. The
// calling thread goes to the client side. Not thread-safe; one per test.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sim/config_service.h"
#include "sim/tcp_services.h"
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
  // The text-protocol printers' settings as they stand now (none without a text service).
  std::vector<SimTextPrinter> TextPrinters() const;
  // What the download service and the print port received (none when they do not run).
  std::vector<DownloadRecord> Downloads() const;
  std::vector<std::string> Pages() const;

 private:
  SimPeer() = default;
  // Runs `serve` on a thread in the printer namespace with a socket from `open` (which
  // returns INVALID_SOCKET_HANDLE with its error set on failure), and closes the socket when
  // `serve` returns; false with *why set when the thread cannot enter the namespace or open
  // its socket.
  bool Serve(const std::function<SocketHandle(int*)>& open,
             const std::function<void(SocketHandle)>& serve, const std::string& what,
             std::string* why);

  std::unique_ptr<NetnsLab> m_pLab;
  std::unique_ptr<ConfigService> m_pService;
  std::unique_ptr<TextService> m_pText;
  std::unique_ptr<DownloadService> m_pDownload;
  std::unique_ptr<PrintService> m_pPrint;
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
