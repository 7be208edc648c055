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
#include <vector>

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
    // After the prefix: the role letter and a dash, then the creating process's id.
    const long pid = std::strtol(name.c_str() + std::strlen(LAB_PREFIX) + 2, nullptr, 10);
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

// One end of a veth pair: its namespace, the name it takes there and its address.
struct LinkEnd {
  std::string space;
  const char* name;
  std::string address;  // with its prefix length: "198.51.100.1/24"
};

// The steps that make veth pair `pair` (named `veth` + pair + "a" / "b" until moved)
// between two namespaces, up and addressed.
std::vector<std::string> LinkSteps(const std::string& veth, int pair, const LinkEnd& a,
                                   const LinkEnd& b) {
  const std::string prefix = veth + std::to_string(pair);
  std::vector<std::string> steps = {"ip link add " + prefix + "a type veth peer name " + prefix +
                                    "b"};
  const auto place = [&](const LinkEnd& end, const std::string& name) {
    steps.push_back("ip link set " + name + " netns " + end.space);
    steps.push_back("ip -n " + end.space + " link set " + name + " name " + end.name);
    steps.push_back("ip -n " + end.space + " addr add " + end.address + " dev " + end.name);
    steps.push_back("ip -n " + end.space + " link set " + end.name + " up");
  };
  place(a, prefix + "a");
  place(b, prefix + "b");
  return steps;
}

// The step that switches an IPv4 setting of a namespace on (net/ipv4/`setting` under
// /proc/sys, which shows the namespace of the process that opens it).
std::string ProcSysStep(const std::string& space, const std::string& setting) {
  return "ip netns exec " + space + " sh -c \"echo 1 >/proc/sys/net/ipv4/" + setting + "\"";
}

std::string Slash24(const char* address) { return std::string(address) + "/24"; }

}  // namespace

std::unique_ptr<NetnsLab> NetnsLab::Create(std::string* why, LabLayout layout) {
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
  const int hostFd = open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
  if (hostFd < 0) {
    *why = "cannot open this process's network namespace";
    return nullptr;
  }
  std::unique_ptr<NetnsLab> lab(new NetnsLab(tag, hostFd));
  const std::string& client = lab->m_strClient;
  const std::string& printer = lab->m_strPrinter;
  std::vector<std::string> steps = {"ip netns add " + client, "ip netns add " + printer};
  if (layout != LabLayout::kTwoHosts) {
    lab->m_strThird = std::string(LAB_PREFIX) + (layout == LabLayout::kRouted ? "r-" : "q-") + tag;
    steps.push_back("ip netns add " + lab->m_strThird);
  }
  const std::string& third = lab->m_strThird;
  const auto add = [&steps](std::vector<std::string> more) {
    steps.insert(steps.end(), more.begin(), more.end());
  };
  switch (layout) {
    case LabLayout::kTwoHosts:
    case LabLayout::kTwoInterfaces:
      add(LinkSteps(lab->m_strVeth, 0, {client, LAB_CLIENT_INTERFACE, Slash24(LAB_CLIENT_ADDRESS)},
                    {printer, "eth0", Slash24(LAB_PRINTER_ADDRESS)}));
      add({"ip -n " + client + " route add default dev " + LAB_CLIENT_INTERFACE,
           "ip -n " + printer + " route add default dev eth0"});
      if (layout == LabLayout::kTwoInterfaces) {
        add(LinkSteps(lab->m_strVeth, 1,
                      {client, LAB_SECOND_CLIENT_INTERFACE, Slash24(LAB_SECOND_CLIENT_ADDRESS)},
                      {third, "eth0", Slash24(LAB_SECOND_PRINTER_ADDRESS)}));
        add({"ip -n " + third + " route add default dev eth0"});
      }
      break;
    case LabLayout::kRouted:
      add(LinkSteps(lab->m_strVeth, 0, {client, LAB_CLIENT_INTERFACE, Slash24(LAB_CLIENT_ADDRESS)},
                    {third, "lan0", Slash24(LAB_ROUTER_ADDRESS)}));
      add(LinkSteps(lab->m_strVeth, 1, {third, "lan1", "203.0.113.1/24"},
                    {printer, "eth0", Slash24(LAB_ROUTED_PRINTER_ADDRESS)}));
      add({"ip -n " + client + " route add default via " + LAB_ROUTER_ADDRESS,
           "ip -n " + printer + " route add default via 203.0.113.1",
           ProcSysStep(third, "ip_forward"), ProcSysStep(third, "conf/all/bc_forwarding"),
           ProcSysStep(third, "conf/lan0/bc_forwarding"),
           ProcSysStep(third, "conf/lan1/bc_forwarding")});
      break;
  }
  for (const std::string& space : {client, printer, third}) {
    if (!space.empty()) steps.push_back("ip -n " + space + " link set lo up");
  }
  for (const std::string& step : steps) {
    if (Shell(step) != 0) {
      *why = "lab set-up failed: " + step;
      return nullptr;  // the destructor removes what was made
    }
  }
  return lab;
}

// Names: nvlab-c-<pid>-<n> / nvlab-p-<pid>-<n> (and -q- or -r-); RemoveStaleLabs reads the
// pid back.
NetnsLab::NetnsLab(std::string tag, int hostFd)
    : m_strClient(std::string(LAB_PREFIX) + "c-" + tag),
      m_strPrinter(std::string(LAB_PREFIX) + "p-" + tag),
      m_strVeth("nvv" + std::to_string(getpid() % 100000) + "x" + tag.substr(tag.rfind('-') + 1) +
                "n"),
      m_nHostFd(hostFd) {}

NetnsLab::~NetnsLab() {
  if (!LeaveToHost()) std::fprintf(stderr, "netns lab: could not return to the host namespace\n");
  // Deleting a namespace removes its ends of the veth pairs, and with them the peers.
  for (const std::string& space : {m_strClient, m_strPrinter, m_strThird}) {
    if (!space.empty()) Shell("ip netns del " + space);
  }
  for (int pair = 0; pair < 2; ++pair) {  // only if set-up stopped before moving them
    Shell("ip link del " + m_strVeth + std::to_string(pair) + "a");
  }
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

std::unique_ptr<NetnsLab> CreateLabOrSkip(LabLayout layout) {
  std::string why;
  auto lab = NetnsLab::Create(&why, layout);
  if (lab) return lab;
  if (LabRequired()) {
    ADD_FAILURE() << "CI must run the network tests, but: " << why;
  } else {
    std::fprintf(stderr, "skipping network test: %s\n", why.c_str());
  }
  return nullptr;
}
