// The checks of a plan against the printers found: the conflict rules as a table.
#include "cli/plan_checks.h"

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

PrinterValues Values(const char* ip, const char* mask = "255.255.255.0",
                     const char* gateway = "198.51.100.1") {
  return {Address(ip), Address(mask), Address(gateway), 9100, {}};
}

// A configuration printer on `line` that holds `before` and is given the address `given`
// (none: the row keeps it and changes its port).
PlannedPrinter Config(int line, const char* mac, const char* before, const char* given) {
  PlannedPrinter row{line,  mac,  false, Values(before), Values(before), given != nullptr,
                     false, false};
  if (given != nullptr) {
    row.after.ip = Address(given);
  } else {
    row.after.port = 9300;
  }
  return row;
}

struct Expected {
  int line;
  bool refusal;
  const char* text;
};

TEST(CheckPlan, RefusesAddressConflictsAndWhatSaveWouldRefuse) {
  PlannedPrinter unusable = Config(2, "M1", "198.51.100.10", "198.51.100.255");
  PlannedPrinter hostMask = Config(2, "M1", "198.51.100.10", "198.51.100.20");
  hostMask.after.mask = Address("255.255.255.255");
  hostMask.after.gateway = 0;
  PlannedPrinter classABroadcast = Config(2, "M1", "10.0.0.1", "10.255.255.255");
  classABroadcast.after.mask = Address("255.0.0.0");
  classABroadcast.after.gateway = 0;
  PlannedPrinter unchangedButOdd = Config(2, "M1", "198.51.100.255", nullptr);
  unchangedButOdd.after = unchangedButOdd.before;  // nothing to write: nothing to refuse
  PlannedPrinter farGateway = Config(2, "M1", "198.51.100.10", nullptr);
  farGateway.after.gateway = Address("192.0.2.1");
  PlannedPrinter noGateway = Config(2, "M1", "198.51.100.10", nullptr);
  noGateway.after.gateway = 0;
  PlannedPrinter textWithPassword = Config(2, "M1", "198.51.100.10", nullptr);
  textWithPassword.textFamily = true;
  textWithPassword.passwordGiven = true;
  PlannedPrinter configWithDhcp = Config(3, "M2", "198.51.100.11", nullptr);
  configWithDhcp.dhcpGiven = true;

  struct Row {
    const char* name;
    std::vector<PlannedPrinter> planned;
    std::vector<KeptPrinter> kept;
    std::vector<Expected> expected;
  } rows[] = {
      {"distinct addresses",
       {Config(2, "M1", "198.51.100.10", "198.51.100.20"),
        Config(3, "M2", "198.51.100.11", "198.51.100.21")},
       {{"K", Address("198.51.100.12")}},
       {}},
      {"two printers swap their addresses",
       {Config(2, "M1", "198.51.100.10", "198.51.100.11"),
        Config(3, "M2", "198.51.100.11", "198.51.100.10")},
       {},
       {}},
      {"two printers given one address",
       {Config(2, "M1", "198.51.100.10", "198.51.100.20"),
        Config(3, "M2", "198.51.100.11", "198.51.100.20")},
       {},
       {{3, true, "198.51.100.20 goes to two printers: M1 (line 2) and M2"}}},
      {"an address that another planned printer keeps",
       {Config(2, "M1", "198.51.100.10", "198.51.100.11"),
        Config(3, "M2", "198.51.100.11", nullptr)},
       {},
       {{2, true, "198.51.100.11 goes to M1, but M2 (line 3) holds it and keeps it"}}},
      {"an address that a printer outside the plan holds",
       {Config(2, "M1", "198.51.100.10", "198.51.100.12")},
       {{"K", Address("198.51.100.12")}},
       {{2, true, "198.51.100.12 goes to M1, but K holds it and keeps it"}}},
      {"a printer's own address given while another holds it too",
       {Config(2, "M1", "198.51.100.10", "198.51.100.10")},
       {{"K", Address("198.51.100.10")}},
       {{2, true, "198.51.100.10 goes to M1, but K holds it and keeps it"}}},
      {"a shared address that nobody is given",
       {Config(2, "M1", "198.51.100.10", nullptr)},
       {{"K", Address("198.51.100.10")}},
       {}},
      {"the broadcast address of the subnet",
       {unusable},
       {},
       {{2, true,
         "198.51.100.255 is not usable with mask 255.255.255.0 (Wrong Local IP address.)"}}},
      {"a host mask",
       {hostMask},
       {},
       {{2, true,
         "198.51.100.20 is not usable with mask 255.255.255.255 (Wrong Local IP address.)"}}},
      {"the broadcast address of a class A network",
       {classABroadcast},
       {},
       {{2, true, "10.255.255.255 is not usable with mask 255.0.0.0 (Wrong Local IP address.)"}}},
      {"an unusable address that the row does not change", {unchangedButOdd}, {}, {}},
      {"a gateway outside the subnet",
       {farGateway},
       {},
       {{2, false,
         "gateway 192.0.2.1 is outside the subnet of 198.51.100.10 with mask 255.255.255.0"}}},
      {"no gateway", {noGateway}, {}, {}},
      {"settings of the other family",
       {textWithPassword, configWithDhcp},
       {},
       {{2, true,
         "password applies to configuration-protocol printers only; M1 is a text-protocol "
         "printer"},
        {3, true,
         "dhcp applies to text-protocol printers only; M2 is a configuration-protocol "
         "printer"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<PlanFinding> findings = CheckPlan(row.planned, row.kept);
    ASSERT_EQ(row.expected.size(), findings.size());
    for (size_t i = 0; i < findings.size(); ++i) {
      EXPECT_EQ(row.expected[i].line, findings[i].line);
      EXPECT_EQ(row.expected[i].refusal, findings[i].refusal);
      EXPECT_EQ(row.expected[i].text, findings[i].text);
    }
  }
}

}  // namespace
