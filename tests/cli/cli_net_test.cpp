// netvora-cli end to end: the real executables, netvora-cli on the lab's client side and
// printer-sim on the printer side.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/socket_port.h"
#include "protocol/config_header.h"
#include "tests/cli/cli_lab.h"

namespace {

constexpr const char* PRINTERS =
    "--printer mac=02:00:00:00:00:02,ip=198.51.100.11,model=19 "
    "--printer mac=02:00:00:00:00:01,ip=198.51.100.10,mask=255.255.255.0,"
    "gateway=198.51.100.1,port=9100,model=16,password=secret";

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

// Lines of a change log.
std::vector<std::string> LogLines(const std::string& path) {
  std::istringstream text(ReadFile(path));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

TEST(NetvoraCli, SetChangesOnePrinterAsTheSimulatorShowsAndLogsIt) {
  NETVORA_REQUIRE_LAB(lab);
  SimProcess sim(*lab, PRINTERS);
  std::remove(DefaultChangeLog().c_str());
  const CliResult set = RunCli(*lab, "set --mac 02:00:00:00:00:01 --ip 198.51.100.77 --port 9300");
  EXPECT_EQ(0, set.status) << set.err;
  EXPECT_NE(std::string::npos, set.out.find("Save Completed !!!"));
  EXPECT_NE(std::string::npos,
            sim.Log().find("stored 02:00:00:00:00:01 ip=198.51.100.77 mask=255.255.255.0 "
                           "gateway=198.51.100.1 port=9300"))
      << sim.Log();
  const std::vector<std::string> lines = LogLines(DefaultChangeLog());
  ASSERT_EQ(1u, lines.size()) << ReadFile(DefaultChangeLog());
  EXPECT_EQ(0u, lines[0].find("{\"time\": \"20")) << lines[0];
  EXPECT_NE(
      std::string::npos,
      lines[0].find("Z\", \"verb\": \"set\", \"mac\": \"02:00:00:00:00:01\", \"family\": "
                    "\"config\", \"before\": {\"ip\": \"198.51.100.10\", \"mask\": "
                    "\"255.255.255.0\", \"gateway\": \"198.51.100.1\", \"port\": 9100}, "
                    "\"after\": {\"ip\": \"198.51.100.77\", \"mask\": \"255.255.255.0\", "
                    "\"gateway\": \"198.51.100.1\", \"port\": 9300}, \"outcome\": \"stored\"}"))
      << lines[0];
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
  const std::string log = TempPath("outcomes.jsonl");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const CliResult set = RunCli(*lab, std::string("set --log ") + log + " " + row.args);
    EXPECT_EQ(row.status, set.status);
    EXPECT_NE(std::string::npos, set.err.find(row.message)) << set.err;
  }
  EXPECT_EQ(std::string::npos, sim.Log().find("stored")) << sim.Log();
  // Only the write that went out is logged: the printer refused its password.
  const std::vector<std::string> lines = LogLines(log);
  ASSERT_EQ(1u, lines.size()) << ReadFile(log);
  EXPECT_NE(std::string::npos, lines[0].find("\"outcome\": \"refused by the printer\"}"));
  std::remove(log.c_str());
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

constexpr const char* BOTH_FAMILIES =
    "--printer mac=02:00:00:00:00:01,ip=198.51.100.2,port=9100 "
    "--text-printer mac=44a8c2000001,ip=198.51.100.2,port=9100,dhcp=off,version=2.05 "
    "--text-printer mac=44A8C2000002,version=none,twice "
    "--text-printer mac=44A8C2000003,lower-case-digits --text-printer mac=44A8C2000004,short "
    "--text-printer mac=44A8C2000005,long";

TEST(NetvoraCli, SearchListsBothFamiliesAndSetsATextPrinter) {
  NETVORA_REQUIRE_LAB(lab);
  SimProcess sim(*lab, BOTH_FAMILIES);
  const CliResult search = RunCli(*lab, "search --json");
  EXPECT_EQ(0, search.status) << search.err;
  const size_t config = search.out.find("\"family\": \"config\", \"mac\": \"02:00:00:00:00:01\"");
  const size_t text = search.out.find(
      "\"family\": \"text\", \"mac\": \"44:a8:c2:00:00:01\", \"ip\": \"198.51.100.2\", "
      "\"mask\": \"255.255.255.0\", \"gateway\": \"198.51.100.1\", \"port\": 9100, "
      "\"dhcp\": false, \"firmware\": \"2.05\"");
  ASSERT_NE(std::string::npos, config) << search.out;
  ASSERT_NE(std::string::npos, text) << search.out;
  EXPECT_LT(config, text);
  // A printer answering twice is listed once; replies with bad check digits or too short
  // are not listed at all.
  size_t listed = 0;
  for (size_t at = search.out.find("44:A8:C2:00:00:02"); at != std::string::npos;
       at = search.out.find("44:A8:C2:00:00:02", at + 1)) {
    ++listed;
  }
  EXPECT_EQ(1u, listed);
  EXPECT_NE(std::string::npos, search.out.find("\"firmware\": null"));
  EXPECT_EQ(std::string::npos, search.out.find("44:A8:C2:00:00:03"));
  EXPECT_EQ(std::string::npos, search.out.find("44:A8:C2:00:00:04"));
  // A reply longer than a datagram of the local network counts by its first 128 bytes.
  EXPECT_NE(std::string::npos, search.out.find("44:A8:C2:00:00:05")) << search.out;

  const CliResult byMac = RunCli(*lab, "search --mac 44:A8:C2:00:00:01");
  EXPECT_EQ(0, byMac.status);
  EXPECT_EQ(std::string::npos, byMac.out.find("config"));  // the text family only
  EXPECT_NE(std::string::npos, byMac.out.find("44:a8:c2:00:00:01"));

  const CliResult set = RunCli(*lab, "set --mac 44:A8:C2:00:00:01 --port 9300 --dhcp on");
  EXPECT_EQ(0, set.status) << set.err;
  EXPECT_NE(std::string::npos, set.out.find("Save Completed !!!"));
  EXPECT_NE(std::string::npos,
            sim.Log().find("stored 44a8c2000001 ip=198.51.100.2 mask=255.255.255.0 "
                           "gateway=198.51.100.1 port=9300 dhcp=on"))
      << sim.Log();
}

TEST(NetvoraCli, DatagramsTooLongForTheBufferEndNoWait) {
  NETVORA_REQUIRE_LAB(lab);
  // Every answer, of either family, follows 2,000 bytes of junk.
  SimProcess sim(*lab, std::string(BOTH_FAMILIES) + " --stray-datagram");
  const CliResult search = RunCli(*lab, "search");
  EXPECT_EQ(0, search.status) << search.err;
  EXPECT_NE(std::string::npos, search.out.find("02:00:00:00:00:01")) << search.out;
  EXPECT_NE(std::string::npos, search.out.find("44:a8:c2:00:00:01")) << search.out;
  const CliResult set = RunCli(*lab, "set --mac 44:A8:C2:00:00:01 --port 9300");
  EXPECT_EQ(0, set.status) << set.err;
  EXPECT_NE(std::string::npos, set.out.find("Save Completed !!!"));
}

TEST(NetvoraCli, FlashReportsEachStepAndTheOutcome) {
  NETVORA_REQUIRE_LAB(lab);
  const std::string firmware =
      ::testing::TempDir() + "QNEther_v210-" + std::to_string(getpid()) + ".bin";
  // Larger than the socket buffers of both ends, so that a body the printer stops taking
  // cannot go out whole.
  std::ofstream(firmware) << std::string(1000000, 'x');
  struct Row {
    const char* name;
    const char* simArgs;
    int status;
    const char* out;
    const char* err;
  } rows[] = {
      {"accepted", "", 0, "body sent: 1000000 bytes", ""},
      {"NAK", "--download-nak-ready", 1, "ready reply: missing or not ready",
       "Fail Program Download!"},
      {"final reply after the printer checked the image for 700 ms", "--download-final-delay 700",
       0, "Firmware downloading is completed.", ""},
      {"body cut short by the printer", "--download-cut-body", 1, "ready reply: ready",
       "the firmware file did not go out whole"},
      {"nothing listening", "--no-download", 1, "", "connect timeout ERROR"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SimProcess sim(*lab, row.simArgs);
    const CliResult flash = RunCli(*lab, "flash --ip 198.51.100.2 " + firmware);
    EXPECT_EQ(row.status, flash.status);
    EXPECT_NE(std::string::npos, flash.out.find(row.out)) << flash.out;
    EXPECT_NE(std::string::npos, flash.err.find(row.err)) << flash.err;
  }
  std::remove(firmware.c_str());
}

TEST(NetvoraCli, TestPrintSendsThePageToThePrintersPort) {
  NETVORA_REQUIRE_LAB(lab);
  SimProcess sim(*lab, BOTH_FAMILIES);
  const CliResult config = RunCli(*lab, "test-print --mac 02:00:00:00:00:01");
  EXPECT_EQ(0, config.status) << config.err;
  const CliResult text = RunCli(*lab, "test-print --mac 44:A8:C2:00:00:01 --korean");
  EXPECT_EQ(0, text.status) << text.err;
  std::string log;
  for (int tries = 0; tries < 50; ++tries) {
    log = sim.Log();
    if (log.find("printed", log.find("printed") + 1) != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_NE(std::string::npos,
            log.find("MAC Address : 02:00:00:00:00:01\r\nIP Address  : 198. 51.100.  2\r\n"));
  EXPECT_NE(std::string::npos, log.find(": 44:a8:c2:00:00:01\r\n"));  // as the printer sent it
  EXPECT_NE(std::string::npos, log.find(std::string("\x1D\x56\x42\x00", 4)));
}

}  // namespace
