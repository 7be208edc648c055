#include "tests/net/netns_lab.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

constexpr const char* LAB_PREFIX = "nvlab-";

// Runs a command line quietly; its exit status.
int Shell(const std::string& commandLine) {
  const int status = std::system((commandLine + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Capture(const std::string& commandLine, int* exitStatus) {
  std::string output;
  FILE* pipe = popen(commandLine.c_str(), "r");
  if (pipe == nullptr) {
    *exitStatus = -1;
    return output;
  }
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  const int status = pclose(pipe);
  *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return output;
}

// Removes labs whose creating process no longer runs (left behind by a killed test).
void RemoveStaleLabs() {
  int status = 0;
  std::istringstream names(Capture("ip netns list 2>/dev/null", &status));
  std::string line;
  while (std::getline(names, line)) {
    const std::string name = line.substr(0, line.find(' '));
    if (name.rfind(LAB_PREFIX, 0) != 0) continue;
    const long pid = std::strtol(name.c_str() + std::strlen(LAB_PREFIX) + 1, nullptr, 10);
    if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0) Shell("ip netns del " + name);
  }
}

bool EnterNamedNamespace(const std::string& name) {
  const std::string path = "/run/netns/" + name;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool entered = setns(fd, CLONE_NEWNET) == 0;
  close(fd);
  return entered;
}

}  // namespace

std::unique_ptr<NetnsLab> NetnsLab::Create(std::string* why) {
  if (geteuid() != 0) {
    *why = "network namespace tests need root";
    return nullptr;
  }
  if (Shell("ip -V") != 0) {
    *why = "the ip command (iproute2) is missing";
    return nullptr;
  }
  RemoveStaleLabs();
  static std::atomic<int> s_nLabCount{0};
  const std::string tag = std::to_string(getpid()) + "-" + std::to_string(s_nLabCount++);
  // Names: nvlab-c-<pid>-<n> / nvlab-p-<pid>-<n>; RemoveStaleLabs reads the pid back.
  const std::string client = std::string(LAB_PREFIX) + "c-" + tag;
  const std::string printer = std::string(LAB_PREFIX) + "p-" + tag;
  const int hostFd = open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
  if (hostFd < 0) {
    *why = "cannot open this process's network namespace";
    return nullptr;
  }
  const std::string veth =
      "nvv" + std::to_string(getpid() % 100000) + "x" + std::to_string(s_nLabCount.load());
  std::unique_ptr<NetnsLab> lab(new NetnsLab(client, printer, veth, hostFd));
  const std::string steps[] = {
      "ip netns add " + client,
      "ip netns add " + printer,
      "ip link add " + veth + "a type veth peer name " + veth + "b",
      "ip link set " + veth + "a netns " + client,
      "ip link set " + veth + "b netns " + printer,
      "ip -n " + client + " addr add " + LAB_CLIENT_ADDRESS + "/24 dev " + veth + "a",
      "ip -n " + printer + " addr add " + LAB_PRINTER_ADDRESS + "/24 dev " + veth + "b",
      "ip -n " + client + " link set lo up",
      "ip -n " + printer + " link set lo up",
      "ip -n " + client + " link set " + veth + "a up",
      "ip -n " + printer + " link set " + veth + "b up",
      "ip -n " + client + " route add default dev " + veth + "a",
      "ip -n " + printer + " route add default dev " + veth + "b",
  };
  for (const std::string& step : steps) {
    if (Shell(step) != 0) {
      *why = "lab set-up failed: " + step;
      return nullptr;  // the destructor removes what was made
    }
  }
  return lab;
}

NetnsLab::NetnsLab(std::string client, std::string printer, std::string veth, int hostFd)
    : m_strClient(std::move(client)),
      m_strPrinter(std::move(printer)),
      m_strVeth(std::move(veth)),
      m_nHostFd(hostFd) {}

NetnsLab::~NetnsLab() {
  if (!LeaveToHost()) std::fprintf(stderr, "netns lab: could not return to the host namespace\n");
  // Deleting a namespace removes its end of the veth pair, and with it the peer.
  Shell("ip netns del " + m_strClient);
  Shell("ip netns del " + m_strPrinter);
  Shell("ip link del " + m_strVeth + "a");  // only if set-up stopped before moving it
  close(m_nHostFd);
}

bool NetnsLab::EnterClient() const { return EnterNamedNamespace(m_strClient); }

bool NetnsLab::EnterPrinter() const { return EnterNamedNamespace(m_strPrinter); }

bool NetnsLab::LeaveToHost() const { return setns(m_nHostFd, CLONE_NEWNET) == 0; }

int NetnsLab::RunIn(const std::string& space, const std::string& commandLine,
                    std::string* out) const {
  const std::string full = "ip netns exec " + space + " sh -c '" + commandLine + "'";
  int status = 0;
  std::string output = Capture(full, &status);
  if (out != nullptr) *out = std::move(output);
  return status;
}

bool LabRequired() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::strcmp(ci, "true") == 0;
}

std::unique_ptr<NetnsLab> CreateLabOrSkip() {
  std::string why;
  auto lab = NetnsLab::Create(&why);
  if (lab) return lab;
  if (LabRequired()) {
    ADD_FAILURE() << "CI must run the network tests, but: " << why;
  } else {
    std::fprintf(stderr, "skipping network test: %s\n", why.c_str());
  }
  return nullptr;
}
