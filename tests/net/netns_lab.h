// A test network in Linux network namespaces: the client side (our code) and the printer
// side (the simulator), in one of three layouts (LabLayout). The lab is made by Create and
// removed by the destructor, also when a test fails; namespaces left behind by a killed run
// are removed by the next Create. Broadcasts from a test must only ever be sent from inside
// a lab. Not thread-safe: create and destroy it on one thread.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

// Addresses and interface names of the layouts. Every namespace has its loopback up.
constexpr const char* LAB_CLIENT_ADDRESS = "198.51.100.1";  // the client's lan0
constexpr const char* LAB_PRINTER_ADDRESS = "198.51.100.2";
constexpr const char* LAB_CLIENT_INTERFACE = "lan0";
constexpr const char* LAB_SECOND_CLIENT_ADDRESS = "192.0.2.1";  // the client's lan1
constexpr const char* LAB_SECOND_PRINTER_ADDRESS = "192.0.2.2";
constexpr const char* LAB_SECOND_CLIENT_INTERFACE = "lan1";
constexpr const char* LAB_ROUTER_ADDRESS = "198.51.100.254";  // the router on the client's side
constexpr const char* LAB_ROUTED_PRINTER_ADDRESS = "203.0.113.2";
constexpr const char* LAB_ROUTED_BROADCAST_ADDRESS = "203.0.113.255";

enum class LabLayout {
  // client lan0 198.51.100.1/24 -- printer 198.51.100.2/24; each side's default route on
  // its veth, so that limited broadcasts leave through it.
  kTwoHosts,
  // kTwoHosts, and a second client interface lan1 192.0.2.1/24 -- second printer
  // 192.0.2.2/24; the client's default route stays on lan0.
  kTwoInterfaces,
  // client lan0 198.51.100.1/24 -- router 198.51.100.254/24 | 203.0.113.1/24 -- printer
  // 203.0.113.2/24, default routes through the router, which forwards (also directed
  // broadcasts to 203.0.113.255); limited broadcasts stay on their own side.
  kRouted,
};

class NetnsLab {
 public:
  // The lab, or nullptr with *why saying what the machine could not do (not root, no
  // `ip`, namespaces not permitted).
  static std::unique_ptr<NetnsLab> Create(std::string* why,
                                          LabLayout layout = LabLayout::kTwoHosts);
  ~NetnsLab();
  NetnsLab(const NetnsLab&) = delete;
  NetnsLab& operator=(const NetnsLab&) = delete;

  const std::string& ClientNamespace() const { return m_strClient; }
  // The printer side: behind the router in kRouted.
  const std::string& PrinterNamespace() const { return m_strPrinter; }
  // kTwoInterfaces: the printer behind lan1; kRouted: the router. "" in other layouts.
  const std::string& ThirdNamespace() const { return m_strThird; }

  // Moves the calling thread into a namespace of the lab; sockets it creates afterwards
  // belong there. False when setns fails.
  [[nodiscard]] bool EnterClient() const;
  [[nodiscard]] bool EnterPrinter() const;
  // Moves the calling thread back into the namespace the process started in.
  [[nodiscard]] bool LeaveToHost() const;

  // Runs a shell command line, which must not contain a single quote, inside a namespace
  // (`ip netns exec NAME sh -c '...'`) and
  // returns its exit status; its standard output goes to *out when out is not null.
  int RunIn(const std::string& space, const std::string& commandLine, std::string* out) const;

 private:
  NetnsLab(std::string tag, int hostFd);
  std::string m_strClient;
  std::string m_strPrinter;
  std::string m_strThird;
  std::string m_strVeth;  // veth pair n is m_strVeth + n + "a" / "b" until moved and renamed
  int m_nHostFd;
};

// Whether tests must have a lab (CI=true: CI runs as root and must exercise the network),
// so that a machine without one fails them instead of skipping them.
bool LabRequired();

// Creates a lab for the test, or skips the test with the reason; when LabRequired the test
// fails instead.
std::unique_ptr<NetnsLab> CreateLabOrSkip(LabLayout layout = LabLayout::kTwoHosts);

#define NETVORA_REQUIRE_LAB(lab, ...)                 \
  auto lab = CreateLabOrSkip(__VA_ARGS__);            \
  if (!lab) {                                         \
    if (::testing::Test::HasFailure()) return;        \
    GTEST_SKIP() << "network namespaces unavailable"; \
  }
