// netvora-cli without a network: argument checking and the printed rows.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "cli/printer_rows.h"
#include "cli/search_command.h"
#include "cli/set_command.h"
#include "common/socket_port.h"
#include "protocol/config_header.h"

namespace {

TEST(RunSet, RefusesBadArgumentsBeforeTouchingTheNetwork) {
  // Holding the port makes any search or write fail to bind, so nothing can be sent even
  // if a check were missing; the message shows which check answered.
  const SocketHandle holder = CreateUdpSocket();
  ASSERT_TRUE(BindAnyAddress(holder, CONFIG_PORT)) << "port 50005 is busy on this machine";
  struct Row {
    const char* name;
    std::vector<std::string> args;
    const char* message;
  } rows[] = {
      {"no MAC", {"--ip", "198.51.100.7"}, "--mac is required"},
      {"short MAC", {"--mac", "02:00:00:00:01"}, "bad MAC address"},
      {"MAC with a bad digit", {"--mac", "02:00:00:00:00:0G"}, "bad MAC address"},
      {"bad IP", {"--mac", "02:00:00:00:00:01", "--ip", "198.51.100.256"}, "bad address for --ip"},
      {"bad mask", {"--mac", "02:00:00:00:00:01", "--mask", "255.255.0"}, "bad address for --mask"},
      {"port below range", {"--mac", "02:00:00:00:00:01", "--port", "1023"}, "port must be"},
      {"port above range", {"--mac", "02:00:00:00:00:01", "--port", "50001"}, "port must be"},
      {"port not a number", {"--mac", "02:00:00:00:00:01", "--port", "91oo"}, "port must be"},
      {"password too long", {"--mac", "02:00:00:00:00:01", "--password", "12345678901"}, "at most 10"},
      {"unknown option", {"--mac", "02:00:00:00:00:01", "--dhcp", "on"}, "unknown argument '--dhcp'"},
      {"missing value", {"--mac"}, "needs a value"},
      {"repeated option", {"--mac", "02:00:00:00:00:01", "--mac", "02:00:00:00:00:02"}, "given twice"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::ostringstream out, err;
    EXPECT_EQ(EXIT_USAGE, RunSet(row.args, out, err));
    EXPECT_NE(std::string::npos, err.str().find(row.message)) << err.str();
    EXPECT_EQ("", out.str());
  }
  std::ostringstream out, err;
  EXPECT_EQ(EXIT_USAGE, RunSearch({"--jsn"}, out, err));
  EXPECT_NE(std::string::npos, err.str().find("unknown argument '--jsn'"));
  CloseSocket(holder);
}

TEST(RunVerbs, HelpDescribesTheVerbWithoutSearching) {
  for (auto run : {RunSearch, RunSet}) {
    std::ostringstream out, err;
    EXPECT_EQ(EXIT_FOUND, run({"--help"}, out, err));
    EXPECT_NE(std::string::npos, out.str().find("Usage: netvora-cli "));
    EXPECT_EQ("", err.str());
  }
}

PrinterInfo Record(uint8_t macFirst, uint8_t macLast, const char* ip, uint16_t port) {
  PrinterInfo record{};
  record.mac[0] = macFirst;
  record.mac[5] = macLast;
  EXPECT_TRUE(ParseIpv4(ip, &record.ipAddress));
  EXPECT_TRUE(ParseIpv4("255.255.255.0", &record.subnetMask));
  EXPECT_TRUE(ParseIpv4("198.51.100.1", &record.gateway));
  SetPrintPort(&record, port);
  record.modelCode = 19;
  return record;
}

TEST(PrinterRows, SortByMacComparesBytesUnsigned) {
  std::vector<PrinterInfo> records = {Record(0x80, 1, "198.51.100.3", 9100),
                                      Record(0x02, 2, "198.51.100.2", 9100),
                                      Record(0x7F, 0, "198.51.100.4", 9100),
                                      Record(0x02, 1, "198.51.100.1", 9100)};
  SortByMac(&records);
  const uint8_t expectedFirst[] = {0x02, 0x02, 0x7F, 0x80};
  const uint8_t expectedLast[] = {1, 2, 0, 1};
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expectedFirst[i], records[i].mac[0]);
    EXPECT_EQ(expectedLast[i], records[i].mac[5]);
  }
}

TEST(PrinterRows, PrintsTableAndJson) {
  const std::vector<PrinterInfo> records = {Record(0x02, 0xAB, "198.51.100.10", 9100),
                                            Record(0x02, 0x01, "198.51.100.11", 50000)};
  std::ostringstream table;
  PrintConfigTable(records, table);
  EXPECT_EQ(
      "MAC                IP address       Subnet mask      Gateway          Port\n"
      "02:00:00:00:00:AB  198.51.100.10    255.255.255.0    198.51.100.1     9100\n"
      "02:00:00:00:00:01  198.51.100.11    255.255.255.0    198.51.100.1     50000\n",
      table.str());

  std::ostringstream json;
  PrintConfigJson(records, json);
  EXPECT_EQ(
      "[\n"
      "  {\"family\": \"config\", \"mac\": \"02:00:00:00:00:AB\", \"ip\": \"198.51.100.10\", "
      "\"mask\": \"255.255.255.0\", \"gateway\": \"198.51.100.1\", \"port\": 9100, \"model\": 19},\n"
      "  {\"family\": \"config\", \"mac\": \"02:00:00:00:00:01\", \"ip\": \"198.51.100.11\", "
      "\"mask\": \"255.255.255.0\", \"gateway\": \"198.51.100.1\", \"port\": 50000, \"model\": 19}\n"
      "]\n",
      json.str());
  std::ostringstream empty;
  PrintConfigJson({}, empty);
  EXPECT_EQ("[]\n", empty.str());
}

}  // namespace
