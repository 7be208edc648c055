// Interface by interface on a real network: the interface list of a client with two
// interfaces, the configuration protocol's searches and writes along routes out of each,
// and the window's search, which leaves by the routing table's choice as before.
#include <gtest/gtest.h>
#include <net/if.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "common/net_interfaces.h"
#include "protocol/discovery.h"
#include "protocol/settings_write.h"
#include "tests/net/sim_process.h"

namespace {

uint32_t Address(const char* text) {
  uint32_t address = 0;
  EXPECT_TRUE(ParseIpv4(text, &address)) << text;
  return address;
}

std::vector<NetInterface> ClientInterfaces() {
  std::vector<NetInterface> interfaces;
  int error = -1;
  EXPECT_TRUE(ListBroadcastInterfaces(&interfaces, &error));
  EXPECT_EQ(0, error);
  return interfaces;
}

std::vector<DatagramRoute> BroadcastOutOfEach(const std::vector<NetInterface>& interfaces) {
  std::vector<DatagramRoute> routes;
  for (const NetInterface& via : interfaces) routes.push_back({LIMITED_BROADCAST_ADDRESS, via});
  return routes;
}

const FoundRecord* Find(const std::vector<FoundRecord>& found, uint8_t macLast) {
  for (const FoundRecord& record : found) {
    if (record.info.mac[5] == macLast) return &record;
  }
  return nullptr;
}

TEST(NetInterfaces, ListsTheInterfacesThatAreUpAndCanBroadcast) {
  NETVORA_REQUIRE_LAB(lab, LabLayout::kTwoInterfaces);
  ASSERT_TRUE(lab->EnterClient());
  const std::vector<NetInterface> both = ClientInterfaces();
  ASSERT_EQ(2u, both.size());  // loopback is not among them
  const struct {
    const char* name;
    const char* address;
  } expected[] = {{LAB_CLIENT_INTERFACE, LAB_CLIENT_ADDRESS},
                  {LAB_SECOND_CLIENT_INTERFACE, LAB_SECOND_CLIENT_ADDRESS}};
  for (size_t i = 0; i < both.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(expected[i].name, both[i].name);
    EXPECT_EQ(if_nametoindex(expected[i].name), both[i].index);
    EXPECT_EQ(Address(expected[i].address), both[i].address);
    EXPECT_EQ(Address("255.255.255.0"), both[i].netmask);
  }
  // A second address on an interface does not list it twice; an interface that is down is
  // not listed.
  ASSERT_EQ(0, lab->RunIn(lab->ClientNamespace(), "ip addr add 192.0.2.9/24 dev lan1", nullptr));
  EXPECT_EQ(2u, ClientInterfaces().size());
  ASSERT_EQ(0, lab->RunIn(lab->ClientNamespace(), "ip link set lan1 down", nullptr));
  const std::vector<NetInterface> one = ClientInterfaces();
  ASSERT_EQ(1u, one.size());
  EXPECT_EQ(LAB_CLIENT_INTERFACE, one[0].name);
}

TEST(ExchangesAlongRoutes, FindAndWriteThePrintersBehindEveryInterface) {
  NETVORA_REQUIRE_LAB(lab, LabLayout::kTwoInterfaces);
  // Printer ...:0A answers on both networks, later on the second.
  SimProcess first(*lab, "--printer mac=02:00:00:00:00:01 --printer mac=02:00:00:00:00:0A");
  SimProcess second(*lab, lab->ThirdNamespace(),
                    "--printer mac=02:00:00:00:00:02,ip=192.0.2.10 "
                    "--printer mac=02:00:00:00:00:0A,delay=300");
  ASSERT_TRUE(first.Listening() && second.Listening());
  ASSERT_TRUE(lab->EnterClient());
  const std::vector<NetInterface> interfaces = ClientInterfaces();
  ASSERT_EQ(2u, interfaces.size());

  std::vector<FoundRecord> found;
  int error = -1;
  ASSERT_EQ(1, SearchPrintersAlong(SEARCH_MODE_BROADCAST, BroadcastOutOfEach(interfaces), &found,
                                   &error));
  EXPECT_EQ(0, error);
  ASSERT_EQ(3u, found.size());
  const struct {
    uint8_t macLast;
    const NetInterface& via;
    const char* source;
  } expected[] = {{0x01, interfaces[0], LAB_PRINTER_ADDRESS},
                  {0x02, interfaces[1], LAB_SECOND_PRINTER_ADDRESS},
                  {0x0A, interfaces[0], LAB_PRINTER_ADDRESS}};
  for (const auto& printer : expected) {
    SCOPED_TRACE(int{printer.macLast});
    const FoundRecord* record = Find(found, printer.macLast);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(printer.via.index, record->interfaceIndex);
    EXPECT_EQ(Address(printer.source), record->info.replyAddress);
  }

  // The window's search leaves by the default route only.
  auto table = std::make_unique<PrinterInfo[]>(MAX_PRINTERS);
  int count = 0;
  ASSERT_EQ(1, SearchPrinters(SEARCH_MODE_BROADCAST, 0, table.get(), &count, &error));
  ASSERT_EQ(2, count);
  EXPECT_EQ(0x01, table[0].mac[5]);
  EXPECT_EQ(0x0A, table[1].mac[5]);

  // Directed to one address on each network: one printer per address.
  ASSERT_EQ(1, SearchPrintersAlong(
                   SEARCH_MODE_DIRECTED,
                   {{Address(LAB_PRINTER_ADDRESS), {}}, {Address(LAB_SECOND_PRINTER_ADDRESS), {}}},
                   &found, &error));
  ASSERT_EQ(2u, found.size());
  EXPECT_NE(nullptr, Find(found, 0x01));
  EXPECT_NE(nullptr, Find(found, 0x02));

  // A write out of lan1 alone reaches the printer there; the default route leaves by lan0.
  PrinterInfo record = Find(found, 0x02)->info;
  SetPrintPort(&record, 9300);
  const uint8_t password[PASSWORD_SIZE] = {};
  EXPECT_EQ(1, WritePrinterSettingsAlong({{LIMITED_BROADCAST_ADDRESS, interfaces[1]}}, &record,
                                         password, &error));
  EXPECT_EQ(0, error);
  EXPECT_EQ(9300, GetPrintPort(record));  // the printer's answer
  EXPECT_NE(std::string::npos, second.Log().find("stored 02:00:00:00:00:02 ip=192.0.2.10"))
      << second.Log();

  EXPECT_EQ(-1, SearchPrintersAlong(SEARCH_MODE_BROADCAST, {}, &found, &error));
  EXPECT_EQ(EINVAL, error);
  EXPECT_EQ(-1, WritePrinterSettingsAlong({}, &record, password, &error));
  EXPECT_EQ(EINVAL, error);
}

}  // namespace
