// The plan parser of `apply`: what a plan file may hold, and every fault it reports with
// its line.
#include "cli/plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/socket_port.h"

namespace {

uint32_t Address(const char* text) {
  uint32_t address = 0;
  EXPECT_TRUE(ParseIpv4(text, &address)) << text;
  return address;
}

TEST(ParsePlan, ReadsEveryColumnInAnyOrderAndCase) {
  // As a spreadsheet saves it: a byte order mark, CRLF, spaces around cells, blank rows.
  const std::string text =
      "\xEF\xBB\xBF Port ,MAC,ip,Mask,gateway,DHCP,password\r\n"
      "9300,02:00:00:00:00:01, 198.51.100.20 ,255.255.255.0,198.51.100.1,,\" s3,cret \"\r\n"
      ",,,,,,\r\n"
      "\r\n"
      ",44:a8:c2:00:00:01,,,,On,\r\n";
  std::vector<PlanRow> rows;
  std::vector<std::string> errors;
  ASSERT_TRUE(ParsePlan(text, &rows, &errors)) << (errors.empty() ? "" : errors[0]);
  ASSERT_EQ(2u, rows.size());

  const SettingsChange& config = rows[0].change;
  EXPECT_EQ(2, rows[0].line);
  EXPECT_EQ(0x01, config.mac[5]);
  EXPECT_EQ(Address("198.51.100.20"), config.ip);
  EXPECT_EQ(Address("255.255.255.0"), config.mask);
  EXPECT_EQ(Address("198.51.100.1"), config.gateway);
  EXPECT_EQ(9300, config.port);
  EXPECT_FALSE(config.dhcp);
  EXPECT_EQ(" s3,cret ", config.password);  // a password keeps its spaces

  const SettingsChange& textPrinter = rows[1].change;
  EXPECT_EQ(5, rows[1].line);
  EXPECT_EQ(0x44, textPrinter.mac[0]);
  EXPECT_FALSE(textPrinter.ip || textPrinter.mask || textPrinter.gateway || textPrinter.port ||
               textPrinter.password);
  EXPECT_EQ(true, textPrinter.dhcp);

  // An empty cell keeps the printer's value; dhcp only where the printer has the switch.
  const PrinterValues current{Address("198.51.100.9"), Address("255.255.0.0"), 0, 9100, false};
  const PrinterValues wanted = textPrinter.AppliedTo(current);
  EXPECT_EQ(current.ip, wanted.ip);
  EXPECT_EQ(current.port, wanted.port);
  EXPECT_EQ(true, wanted.dhcp);
  EXPECT_FALSE(config.AppliedTo({1, 2, 3, 9100, {}}).dhcp);
}

TEST(ParsePlan, ReportsEveryFaultWithItsLine) {
  struct Row {
    const char* name;
    std::string text;
    std::vector<std::string> errors;
  } rows[] = {
      {"an empty file", "", {"the plan is empty: its first row must name the columns (mac, ...)"}},
      {"no mac column",
       "ip,port\n198.51.100.2,9100\n",
       {"line 1: the header row must name the column mac"}},
      {"an unknown column and one named twice",
       "mac,speed,ip,IP\n",
       {"line 1: unknown column 'speed' (columns: mac, ip, mask, gateway, port, dhcp, password)",
        "line 1: column 'ip' is named twice"}},
      {"a header and no printer", "mac,ip\n,\n", {"the plan has no printer rows"}},
      {"a bad value of every kind, each on its line",
       "mac,ip,mask,gateway,port,dhcp,password\n"
       "02:00:00:00:00:1,,,,,,\n"
       "02:00:00:00:00:02,198.51.100.256,,,,,\n"
       "02:00:00:00:00:03,,255.255.0,,,,\n"
       "02:00:00:00:00:04,,,gw,,,\n"
       "02:00:00:00:00:05,,,,80,,\n"
       "02:00:00:00:00:06,,,,50001,,\n"
       "02:00:00:00:00:07,,,,,yes,\n"
       "02:00:00:00:00:08,,,,,,12345678901\n"
       ",198.51.100.9,,,,,\n"
       "02:00:00:00:00:0a,,,,9100,,\n"
       "02:00:00:00:00:0A,,,,9200,,\n",
       {"line 2: bad MAC address '02:00:00:00:00:1'",
        "line 3: bad address for ip: '198.51.100.256'", "line 4: bad address for mask: '255.255.0'",
        "line 5: bad address for gateway: 'gw'",
        "line 6: port must be a number from 1024 to 50000, not '80'",
        "line 7: port must be a number from 1024 to 50000, not '50001'",
        "line 8: dhcp takes on or off, not 'yes'", "line 9: the password has at most 10 bytes",
        "line 10: the mac cell is empty", "line 12: MAC 02:00:00:00:00:0A is on line 11 already"}},
      {"rows with too few or too many cells",
       "mac,ip\n02:00:00:00:00:01\n02:00:00:00:00:02,,x\n",
       {"line 2: the row has 1 cell, but the header names 2 columns",
        "line 3: the row has 3 cells, but the header names 2 columns"}},
      // A quoted cell over two lines moves the next row to line 4.
      {"lines counted through quoted line breaks",
       "mac,password\n02:00:00:00:00:01,\"a\nb\"\n02:00:00:00:00:0G,\n",
       {"line 4: bad MAC address '02:00:00:00:00:0G'"}},
      {"not CSV",
       "mac\n02:00:00:00:00:01\n\"02:00:00:00:00:02\n",
       {"line 3: a quoted field never closes"}},
      {"too long",
       "mac\n" + std::string(PLAN_SIZE_MAX, '\n'),
       {"the plan has more than 1048576 bytes"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<PlanRow> plan;
    std::vector<std::string> errors;
    EXPECT_FALSE(ParsePlan(row.text, &plan, &errors));
    EXPECT_EQ(row.errors, errors);
  }
}

}  // namespace
