// netvora-cli end to end: the real executables, netvora-cli on the lab's client side and
// printer-sim on the printer side.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "common/socket_port.h"
#include "protocol/config_header.h"
#include "tests/net/netns_lab.h"

namespace {

constexpr const char* PRINTERS =
    "--printer mac=02:00:00:00:00:02,ip=198.51.100.11,model=19 "
    "--printer mac=02:00:00:00:00:01,ip=198.51.100.10,mask=255.255.255.0,"
    "gateway=198.51.100.1,port=9100,model=16,password=secret";

// printer-sim running as a process in the lab's printer namespace.
class SimProcess {
 public:
  SimProcess(const NetnsLab& lab, const std::string& args)
      : m_lab(lab), m_strLog(::testing::TempDir() + "printer-sim-" + std::to_string(getpid()) + ".log") {
    std::string pid;
    m_lab.RunIn(m_lab.PrinterNamespace(),
                std::string(NETVORA_SIM_PATH) + " " + args + " >" + m_strLog + " 2>&1 & echo $!", &pid);
    m_pid = static_cast<pid_t>(std::atol(pid.c_str()));
    for (int tries = 0; tries < 100 && !Listening(); ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  ~SimProcess() {
    if (m_pid > 0) kill(m_pid, SIGTERM);
    for (int tries = 0; tries < 100 && m_pid > 0 && kill(m_pid, 0) == 0; ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::remove(m_strLog.c_str());
  }
  bool Listening() const {
    std::string sockets;
    m_lab.RunIn(m_lab.PrinterNamespace(), "ss -Huln sport = :50005", &sockets);
    return !sockets.empty();
  }
  std::string Log() const {
    std::ifstream file(m_strLog);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

 private:
  const NetnsLab& m_lab;
  std::string m_strLog;
  pid_t m_pid = 0;
};

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

CliResult RunCli(const NetnsLab& lab, const std::string& args) {
  const std::string errPath = ::testing::TempDir() + "netvora-cli-" + std::to_string(getpid()) + ".err";
  CliResult result;
  result.status = lab.RunIn(lab.ClientNamespace(),
                            std::string(NETVORA_CLI_PATH) + " " + args + " 2>" + errPath, &result.out);
  std::ifstream file(errPath);
  std::stringstream text;
  text << file.rdbuf();
  result.err = text.str();
  std::remove(errPath.c_str());
  return result;
}

TEST(NetvoraCli, SearchJsonListsTheSimulatorsPrintersByMac) {
  NETVORA_REQUIRE_LAB(lab);
  SimProcess sim(*lab, PRINTERS);
  ASSERT_TRUE(sim.Listening());
  const CliResult search = RunCli(*lab, "search --json");
  EXPECT_EQ(0, search.status) << search.err;
  const size_t first = search.out.find("\"mac\": \"02:00:00:00:00:01\"");
  const size_t second = search.out.find("\"mac\": \"02:00:00:00:00:02\"");
  ASSERT_NE(std::string::npos, first) << search.out;
  ASSERT_NE(std::string::npos, second) << search.out;
  EXPECT_LT(first, second);
  EXPECT_NE(std::string::npos,
            search.out.find("\"ip\": \"198.51.100.10\", \"mask\": \"255.255.255.0\", "
                            "\"gateway\": \"198.51.100.1\", \"port\": 9100, \"model\": 16"));
}

TEST(NetvoraCli, SetChangesOnePrinterAsTheSimulatorShows) {
  NETVORA_REQUIRE_LAB(lab);
  SimProcess sim(*lab, PRINTERS);
  const CliResult set = RunCli(*lab, "set --mac 02:00:00:00:00:01 --ip 198.51.100.77 --port 9300");
  EXPECT_EQ(0, set.status) << set.err;
  EXPECT_NE(std::string::npos, set.out.find("Save Completed !!!"));
  EXPECT_NE(std::string::npos,
            sim.Log().find("stored 02:00:00:00:00:01 ip=198.51.100.77 mask=255.255.255.0 "
                           "gateway=198.51.100.1 port=9300"))
      << sim.Log();
}

TEST(NetvoraCli, SetReportsTheOutcomesItCannotFix) {
  NETVORA_REQUIRE_LAB(lab);
  SimProcess sim(*lab, PRINTERS);
  struct Row {
    const char* name;
    const char* args;
    int status;
    const char* message;
  } rows[] = {
      {"wrong password", "--mac 02:00:00:00:00:01 --port 9400 --password wrong", 1,
       "Password mismatch error occured."},
      {"unknown MAC", "--mac 02:00:00:00:00:09 --port 9400", 1, "Cannot find MAC address."},
      {"broadcast address", "--mac 02:00:00:00:00:01 --ip 198.51.100.255", 2,
       "Wrong Local IP address."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const CliResult set = RunCli(*lab, std::string("set ") + row.args);
    EXPECT_EQ(row.status, set.status);
    EXPECT_NE(std::string::npos, set.err.find(row.message)) << set.err;
  }
  EXPECT_EQ(std::string::npos, sim.Log().find("stored")) << sim.Log();
}

TEST(NetvoraCli, SearchFailsLocallyWhenThePortIsTaken) {
  NETVORA_REQUIRE_LAB(lab);
  ASSERT_TRUE(lab->EnterClient());
  const SocketHandle holder = CreateUdpSocket();
  ASSERT_TRUE(BindAnyAddress(holder, CONFIG_PORT));
  const CliResult search = RunCli(*lab, "search");
  CloseSocket(holder);
  EXPECT_EQ(2, search.status);
  EXPECT_NE(std::string::npos, search.err.find("cannot search on UDP port 50005")) << search.err;
}

TEST(NetvoraCli, SearchWithNoPrinterExitsOne) {
  NETVORA_REQUIRE_LAB(lab);
  SimProcess sim(*lab, "--silent");
  const CliResult search = RunCli(*lab, "search --json");
  EXPECT_EQ(1, search.status);
  EXPECT_EQ("[]\n", search.out);
}

}  // namespace
