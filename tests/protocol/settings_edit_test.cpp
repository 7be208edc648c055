// The edit that saving makes to a record before the write, and the failure texts.
#include "protocol/settings_edit.h"

#include <gtest/gtest.h>

#include "common/socket_port.h"
#include "protocol/settings_write.h"

namespace {

NetworkSettings Settings(const char* ip, uint16_t port) {
  NetworkSettings settings{};
  EXPECT_TRUE(ParseIpv4(ip, &settings.ipAddress));
  EXPECT_TRUE(ParseIpv4("255.255.255.0", &settings.subnetMask));
  EXPECT_TRUE(ParseIpv4("198.51.100.1", &settings.gateway));
  settings.port = port;
  return settings;
}

TEST(ApplyNetworkSettings, WritesAddressesPortAndChannelBits) {
  PrinterInfo record{};
  SetChannelWord(&record, 0, 0x00000801);  // bit 11 set, bit 10 clear
  SetChannelWord(&record, 1, 0xFFFFFFFF);
  SetChannelWord(&record, 2, 0x00000800);
  const NetworkSettings settings = Settings("198.51.100.77", 9300);
  ASSERT_TRUE(ApplyNetworkSettings(&record, settings));
  EXPECT_EQ(settings.ipAddress, record.ipAddress);
  EXPECT_EQ(settings.subnetMask, record.subnetMask);
  EXPECT_EQ(settings.gateway, record.gateway);
  EXPECT_EQ(9300, GetPrintPort(record));
  EXPECT_EQ(0x54, record.channelSettings[0].settings[8]);  // 9300 = 0x2454, low byte first
  EXPECT_EQ(0x24, record.channelSettings[0].settings[9]);
  EXPECT_EQ(0x00000401u, GetChannelWord(record, 0));
  EXPECT_EQ(0xFFFFF7FFu, GetChannelWord(record, 1));
  EXPECT_EQ(0x00000800u, GetChannelWord(record, 2));  // other channels keep their bits
}

TEST(ApplyNetworkSettings, UnusableAddressKeepsTheAddressesAndChangesNothingElse) {
  PrinterInfo record{};
  SetPrintPort(&record, 9100);
  const NetworkSettings settings = Settings("198.51.100.255", 9300);
  EXPECT_FALSE(ApplyNetworkSettings(&record, settings));
  EXPECT_EQ(settings.ipAddress, record.ipAddress);
  EXPECT_EQ(9100, GetPrintPort(record));
  EXPECT_EQ(0u, GetChannelWord(record, 0));
}

TEST(WriteFailureMessages, NameTheKnownFailuresAndShowOtherCodes) {
  EXPECT_EQ(std::vector<std::string>{"No response from selected Ethernet Card."},
            WriteFailureMessages(SET_ERR_NO_RESPONSE));
  EXPECT_EQ(std::vector<std::string>{"Password mismatch error occured."},
            WriteFailureMessages(SET_ERR_PASSWORD));
  EXPECT_EQ((std::vector<std::string>{"value=-400", "Unknown Error..."}),
            WriteFailureMessages(SET_ERR_EXPRESSION));
}

}  // namespace
