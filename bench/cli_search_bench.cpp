// How long `netvora-cli search` takes with 300 configuration-protocol printers answering
// (printer-sim in a namespace lab; run as root), beside its floor measured in the same run:
// the moment the last answer reached the client's interface, plus the 2 s of quiet that end
// every search. The time runs from starting the process to its end. Prints each run, then
// the medians of the measured time, the floor and their ratio.
//   netvora-cli-search-bench [RUNS]   (default 5)
#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "protocol/config_header.h"
#include "protocol/discovery.h"
#include "tests/net/sim_process.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int PRINTERS = 300;

double Milliseconds(Clock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Watches the client's interface and keeps the arrival time of the last configuration-
// protocol answer (a UDP datagram from port 50005 coming in).
class AnswerWatch {
 public:
  // On the calling thread's namespace; false when the packet socket cannot be opened.
  bool Start(const char* interfaceName) {
    m_socket = socket(AF_PACKET, SOCK_DGRAM, htons(ETH_P_IP));
    if (m_socket < 0) return false;
    sockaddr_ll link{};
    link.sll_family = AF_PACKET;
    link.sll_protocol = htons(ETH_P_IP);
    link.sll_ifindex = static_cast<int>(if_nametoindex(interfaceName));
    const int buffer = 8 << 20;
    if (bind(m_socket, reinterpret_cast<sockaddr*>(&link), sizeof link) != 0 ||
        setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer) != 0) {
      return false;
    }
    timeval poll{0, 100000};  // the watch checks for its end ten times a second
    setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &poll, sizeof poll);
    m_thread = std::thread([this] { Watch(); });
    return true;
  }
  ~AnswerWatch() {
    m_bStop.store(true);
    if (m_thread.joinable()) m_thread.join();
    if (m_socket >= 0) close(m_socket);
  }
  // Forgets earlier answers.
  void Reset() { m_lastAnswer.store(Clock::time_point{}.time_since_epoch().count()); }
  Clock::time_point LastAnswer() const {
    return Clock::time_point(Clock::duration(m_lastAnswer.load()));
  }

 private:
  void Watch() {
    unsigned char packet[2048];
    while (!m_bStop.load()) {
      sockaddr_ll from{};
      socklen_t length = sizeof from;
      const ssize_t got =
          recvfrom(m_socket, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&from), &length);
      if (got < static_cast<ssize_t>(sizeof(iphdr) + sizeof(udphdr))) continue;
      if (from.sll_pkttype == PACKET_OUTGOING) continue;
      const auto* ip = reinterpret_cast<const iphdr*>(packet);
      if (ip->protocol != IPPROTO_UDP) continue;
      const auto* udp = reinterpret_cast<const udphdr*>(packet + ip->ihl * 4);
      if (ntohs(udp->source) != CONFIG_PORT) continue;
      m_lastAnswer.store(Clock::now().time_since_epoch().count());
    }
  }

  int m_socket = -1;
  std::thread m_thread;
  std::atomic<bool> m_bStop{false};
  std::atomic<Clock::rep> m_lastAnswer{0};
};

// Runs netvora-cli search in this thread's namespace; its exit status, with the number of
// configuration printers it listed in *listed.
int RunSearch(int* listed) {
  int output[2];
  if (pipe(output) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, output[0]);
  char program[] = NETVORA_CLI_PATH;
  char verb[] = "search";
  char* argv[] = {program, verb, nullptr};
  pid_t child = 0;
  const int spawned = posix_spawn(&child, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t got; (got = read(output[0], buffer, sizeof buffer)) > 0;) text.append(buffer, got);
  close(output[0]);
  int status = -1;
  if (spawned != 0 || waitpid(child, &status, 0) != child) return -1;
  *listed = 0;
  for (size_t at = text.find("config\n"); at != std::string::npos;
       at = text.find("config\n", at + 1))
    ++*listed;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::string why;
  const auto lab = NetnsLab::Create(&why);
  if (!lab) {
    std::fprintf(stderr, "netvora-cli-search-bench: %s\n", why.c_str());
    return 2;
  }
  const SimProcess sim(*lab, "--printers " + std::to_string(PRINTERS));
  AnswerWatch watch;
  if (!sim.Listening() || !lab->EnterClient() || !watch.Start(LAB_CLIENT_INTERFACE)) {
    std::fprintf(stderr, "netvora-cli-search-bench: the lab's simulator or watch did not start\n");
    return 2;
  }
  std::vector<double> measured, floors, ratios;
  for (int run = 1; run <= runs; ++run) {
    watch.Reset();
    int listed = 0;
    const Clock::time_point start = Clock::now();
    const int status = RunSearch(&listed);
    const Clock::time_point end = Clock::now();
    const Clock::time_point last = watch.LastAnswer();
    if (status != 0 || last < start) {
      std::fprintf(stderr, "netvora-cli-search-bench: run %d: status %d, no answer seen\n", run,
                   status);
      return 1;
    }
    const double lastAnswer = Milliseconds(last - start);
    measured.push_back(Milliseconds(end - start));
    floors.push_back(lastAnswer + SEARCH_QUIET_MS);
    ratios.push_back(measured.back() / floors.back());
    std::printf(
        "run %d: netvora-cli search %.0f ms; floor %.0f ms (last answer after %.0f ms + %u ms "
        "of quiet); ratio %.3f; %d configuration printers listed\n",
        run, measured.back(), floors.back(), lastAnswer, SEARCH_QUIET_MS, ratios.back(), listed);
  }
  std::printf(
      "median over %d runs, %d printers answering: measured %.0f ms, floor %.0f ms, ratio %.3f "
      "(goal: at most 1.05)\n",
      runs, PRINTERS, Median(measured), Median(floors), Median(ratios));
  return 0;
}
