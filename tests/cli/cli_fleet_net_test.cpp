// netvora-cli on awkward networks: a client with two interfaces to two printer networks,
// printers behind a router, hostile printer text in CSV, and downloads into two printers
// at once. The real executables, in namespace labs.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cli/csv.h"
#include "operations/text_message.h"
#include "sim/text_service.h"
#include "tests/cli/cli_lab.h"

namespace {

// How often `text` occurs in `in`.
size_t Count(const std::string& in, const std::string& text) {
  size_t count = 0;
  for (size_t at = in.find(text); at != std::string::npos; at = in.find(text, at + 1)) ++count;
  return count;
}

// The JSON object of the printer with that MAC in a search's JSON array, or "".
std::string JsonRow(const std::string& json, const std::string& mac) {
  const size_t at = json.find("\"mac\": \"" + mac + "\"");
  if (at == std::string::npos) return "";
  const size_t begin = json.rfind('{', at);
  return json.substr(begin, json.find('}', at) - begin + 1);
}

// Each printer network has a configuration printer and a text printer of its own; one
// configuration printer (MAC ...:0A) is on both, as a printer reached through two
// interfaces is.
constexpr const char* FIRST_NETWORK =
    "--printer mac=02:00:00:00:00:01,ip=198.51.100.10 "
    "--printer mac=02:00:00:00:00:0A,ip=198.51.100.99 "
    "--text-printer mac=44A8C2000001,ip=198.51.100.20";
constexpr const char* SECOND_NETWORK =
    "--printer mac=02:00:00:00:00:02,ip=192.0.2.10,gateway=192.0.2.1 "
    "--printer mac=02:00:00:00:00:0A,ip=198.51.100.99 "
    "--text-printer mac=44A8C2000002,ip=192.0.2.20,gateway=192.0.2.1";

TEST(NetvoraCliFleet, SearchesOutOfEveryInterfaceOrTheNamedOnes) {
  NETVORA_REQUIRE_LAB(lab, LabLayout::kTwoInterfaces);
  SimProcess first(*lab, FIRST_NETWORK);
  SimProcess second(*lab, lab->ThirdNamespace(), SECOND_NETWORK);
  ASSERT_TRUE(first.Listening() && second.Listening());

  const CliResult all = RunCli(*lab, "search --json");
  EXPECT_EQ(0, all.status) << all.err;
  const struct {
    const char* mac;
    const char* interfaceName;
  } expected[] = {{"02:00:00:00:00:01", "lan0"},
                  {"02:00:00:00:00:02", "lan1"},
                  {"44:A8:C2:00:00:01", "lan0"},
                  {"44:A8:C2:00:00:02", "lan1"}};
  for (const auto& printer : expected) {
    SCOPED_TRACE(printer.mac);
    EXPECT_NE(std::string::npos,
              JsonRow(all.out, printer.mac)
                  .find(std::string("\"interface\": \"") + printer.interfaceName + "\""))
        << all.out;
  }
  EXPECT_EQ(1u, Count(all.out, "02:00:00:00:00:0A")) << all.out;  // answered on both

  const CliResult second_only = RunCli(*lab, "search --interface lan1");
  EXPECT_EQ(0, second_only.status) << second_only.err;
  EXPECT_NE(std::string::npos, second_only.out.find("02:00:00:00:00:02")) << second_only.out;
  EXPECT_NE(std::string::npos, second_only.out.find("44:A8:C2:00:00:02"));
  EXPECT_EQ(std::string::npos, second_only.out.find("02:00:00:00:00:01"));
  EXPECT_EQ(std::string::npos, second_only.out.find("44:A8:C2:00:00:01"));
  EXPECT_EQ(std::string::npos, second_only.out.find("lan0"));

  const CliResult unknown = RunCli(*lab, "search --interface eth9");
  EXPECT_EQ(2, unknown.status);
  EXPECT_NE(std::string::npos, unknown.err.find("no interface 'eth9'")) << unknown.err;
  EXPECT_NE(std::string::npos, unknown.err.find("interfaces: lan0, lan1")) << unknown.err;
  EXPECT_EQ("", unknown.out);

  // The default route leaves by lan0; the write reaches the printer behind lan1 as well.
  const CliResult set = RunCli(*lab, "set --mac 02:00:00:00:00:02 --port 9300");
  EXPECT_EQ(0, set.status) << set.err;
  EXPECT_NE(std::string::npos, second.Log().find("stored 02:00:00:00:00:02 ip=192.0.2.10"))
      << second.Log();
  const CliResult setText = RunCli(*lab, "set --mac 44:A8:C2:00:00:02 --port 9400");
  EXPECT_EQ(0, setText.status) << setText.err;
  EXPECT_NE(std::string::npos, second.Log().find("stored 44A8C2000002 ip=192.0.2.20"))
      << second.Log();
}

constexpr const char* ROUTED_PRINTERS =
    "--printer mac=02:00:00:00:00:05,ip=203.0.113.2,gateway=203.0.113.1 "
    "--text-printer mac=44A8C2000005,ip=203.0.113.2,gateway=203.0.113.1";

TEST(NetvoraCliFleet, PrintersBehindARouterAreFoundAndSetWithTo) {
  NETVORA_REQUIRE_LAB(lab, LabLayout::kRouted);
  SimProcess sim(*lab, ROUTED_PRINTERS);
  ASSERT_TRUE(sim.Listening());

  const CliResult broadcast = RunCli(*lab, "search");
  EXPECT_EQ(1, broadcast.status) << broadcast.out;  // broadcasts do not cross the router
  EXPECT_EQ("", broadcast.out);

  for (const char* address : {LAB_ROUTED_PRINTER_ADDRESS, LAB_ROUTED_BROADCAST_ADDRESS}) {
    SCOPED_TRACE(address);
    const CliResult directed = RunCli(*lab, std::string("search --json --to ") + address);
    EXPECT_EQ(0, directed.status) << directed.err;
    EXPECT_NE(std::string::npos, JsonRow(directed.out, "02:00:00:00:00:05")
                                     .find("\"ip\": \"203.0.113.2\", \"mask\": \"255.255.255.0\", "
                                           "\"gateway\": \"203.0.113.1\""))
        << directed.out;
    EXPECT_NE(std::string::npos,
              JsonRow(directed.out, "44:A8:C2:00:00:05").find("\"interface\": \"lan0\""))
        << directed.out;
  }

  const CliResult set = RunCli(*lab, "set --to 203.0.113.2 --mac 02:00:00:00:00:05 --port 9300");
  EXPECT_EQ(0, set.status) << set.err;
  EXPECT_NE(std::string::npos, sim.Log().find("stored 02:00:00:00:00:05 ip=203.0.113.2 "
                                              "mask=255.255.255.0 gateway=203.0.113.1 port=9300"))
      << sim.Log();
  const CliResult setText =
      RunCli(*lab, "set --to 203.0.113.255 --mac 44:A8:C2:00:00:05 --dhcp on");
  EXPECT_EQ(0, setText.status) << setText.err;
  EXPECT_NE(std::string::npos, sim.Log().find("stored 44A8C2000005 ip=203.0.113.2 "
                                              "mask=255.255.255.0 gateway=203.0.113.1 port=9100 "
                                              "dhcp=on"))
      << sim.Log();

  const CliResult both = RunCli(*lab, "search --to 203.0.113.2 --interface lan0");
  EXPECT_EQ(2, both.status);
  EXPECT_NE(std::string::npos, both.err.find("does not go with --interface")) << both.err;
}

TEST(NetvoraCliFleet, CsvGivesBackThePrintersTextIntact) {
  NETVORA_REQUIRE_LAB(lab);
  SimProcess sim(*lab,
                 "--printer mac=02:00:00:00:00:01,ip=198.51.100.10,model=16 "
                 "--text-printer mac=44A8C2000001,hostile-text "
                 "--text-printer mac=44A8C2000002,ip=198.51.100.21,dhcp=on");
  const CliResult csv = RunCli(*lab, "search --csv");
  EXPECT_EQ(0, csv.status) << csv.err;
  std::vector<CsvRow> rows;
  std::string error;
  ASSERT_TRUE(ReadCsv(csv.out, &rows, &error)) << error << "\n" << csv.out;
  ASSERT_EQ(4u, rows.size()) << csv.out;
  const std::vector<std::string> header = {"family", "mac",   "ip",   "mask",     "gateway",
                                           "port",   "model", "dhcp", "firmware", "interface"};
  EXPECT_EQ(header, rows[0].fields);
  EXPECT_EQ(
      (std::vector<std::string>{"config", "02:00:00:00:00:01", "198.51.100.10", "255.255.255.0",
                                "198.51.100.1", "9100", "16", "", "", LAB_CLIENT_INTERFACE}),
      rows[1].fields);
  // The hostile printer's MAC and version characters, as the printer sent them.
  const TextInfo hostile = DecodeTextInfo(
      BuildTextInfo(TextSettings{SIM_HOSTILE_MAC_TEXT, 0, 0, 0, 0, false}, SIM_HOSTILE_VERSION, 1));
  EXPECT_EQ((std::vector<std::string>{"text", hostile.macText, "198.51.100.20", "255.255.255.0",
                                      "198.51.100.1", "9100", "", "off", hostile.version.substr(1),
                                      LAB_CLIENT_INTERFACE}),
            rows[2].fields);
  EXPECT_EQ(
      (std::vector<std::string>{"text", "44:A8:C2:00:00:02", "198.51.100.21", "255.255.255.0",
                                "198.51.100.1", "9100", "", "on", "2.05", LAB_CLIENT_INTERFACE}),
      rows[3].fields);

  // The other outputs escape it instead: nothing raw but their own line ends.
  for (const char* format : {"--json", ""}) {
    const CliResult other = RunCli(*lab, std::string("search ") + format);
    EXPECT_EQ(0, other.status) << other.err;
    for (char c : other.out) {
      const auto byte = static_cast<unsigned char>(c);
      EXPECT_TRUE(c == '\n' || (byte >= 0x20 && byte < 0x7F)) << format << ": byte " << int{byte};
    }
  }
}

TEST(NetvoraCliFleet, FlashesTwoPrintersAtOnceEachLinePrefixed) {
  NETVORA_REQUIRE_LAB(lab, LabLayout::kTwoInterfaces);
  const std::string firmware = TempPath("QNEther_v210.bin");
  std::ofstream(firmware) << std::string(200000, 'x');
  struct Row {
    const char* name;
    const char* secondArgs;
    int status;
    const char* summary;
  } rows[] = {
      {"both accept", "", 0, "2 of 2 printers accepted the image\n"},
      {"the second refuses", "--download-nak-ready", 1,
       "1 of 2 printers accepted the image; not accepted: 192.0.2.2 (refused)\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SimProcess first(*lab, "");
    SimProcess second(*lab, lab->ThirdNamespace(), row.secondArgs);
    const CliResult flash =
        RunCli(*lab, std::string("flash --ip ") + LAB_PRINTER_ADDRESS + " --ip " +
                         LAB_SECOND_PRINTER_ADDRESS + " " + firmware);
    EXPECT_EQ(row.status, flash.status) << flash.out << flash.err;
    EXPECT_NE(std::string::npos, flash.out.find("198.51.100.2: body sent: 200000 bytes\n"))
        << flash.out;
    EXPECT_NE(std::string::npos,
              flash.out.find("198.51.100.2: Firmware downloading is completed."));
    EXPECT_NE(std::string::npos, flash.out.find("192.0.2.2: connected\n")) << flash.out;
    const size_t summary = flash.out.rfind(row.summary);
    EXPECT_EQ(flash.out.size() - std::string(row.summary).size(), summary) << flash.out;
  }
  const CliResult twice = RunCli(*lab, "flash --ip 192.0.2.2 --ip 192.0.2.2 " + firmware);
  EXPECT_EQ(2, twice.status);
  EXPECT_NE(std::string::npos, twice.err.find("192.0.2.2 is given twice")) << twice.err;
  std::remove(firmware.c_str());
}

}  // namespace
