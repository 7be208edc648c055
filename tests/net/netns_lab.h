// A two-host test network in Linux network namespaces: the client side (our code) and the
// printer side (the simulator), joined by a veth pair in 198.51.100.0/24, with a default
// route on the client's veth so that limited broadcasts leave through it. The lab is made
// by Create and removed by the destructor, also when a test fails; namespaces left behind
// by a killed run are removed by the next Create. Broadcasts from a test must only ever be
// sent from inside a lab. Not thread-safe: create and destroy it on one thread.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

constexpr const char* LAB_CLIENT_ADDRESS = "198.51.100.1";
constexpr const char* LAB_PRINTER_ADDRESS = "198.51.100.2";

class NetnsLab {
 public:
  // The lab, or nullptr with *why saying what the machine could not do (not root, no
  // `ip`, namespaces not permitted).
  static std::unique_ptr<NetnsLab> Create(std::string* why);
  ~NetnsLab();
  NetnsLab(const NetnsLab&) = delete;
  NetnsLab& operator=(const NetnsLab&) = delete;

  const std::string& ClientNamespace() const { return m_strClient; }
  const std::string& PrinterNamespace() const { return m_strPrinter; }

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
  NetnsLab(std::string client, std::string printer, std::string veth, int hostFd);
  std::string m_strClient;
  std::string m_strPrinter;
  std::string m_strVeth;  // the pair's names are m_strVeth + "a" / "b"
  int m_nHostFd;
};

// Whether tests must have a lab (CI=true: CI runs as root and must exercise the network),
// so that a machine without one fails them instead of skipping them.
bool LabRequired();

// Creates a lab for the test, or skips the test with the reason; when LabRequired the test
// fails instead.
std::unique_ptr<NetnsLab> CreateLabOrSkip();

#define NETVORA_REQUIRE_LAB(lab)                      \
  auto lab = CreateLabOrSkip();                       \
  if (!lab) {                                         \
    if (::testing::Test::HasFailure()) return;        \
    GTEST_SKIP() << "network namespaces unavailable"; \
  }
