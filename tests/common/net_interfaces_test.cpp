// Datagrams interface by interface on this machine's loopback: the interface each datagram
// came in on, a datagram sent out of a chosen interface, and the interface list. Nothing
// leaves the machine.
#include "common/net_interfaces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/loopback.h"

namespace {

TEST(NetInterfaces, TellsTheInterfaceOfEachDatagramAndSendsOutOfAChosenOne) {
  LoopbackUdp udp;
  ASSERT_TRUE(EnableArrivalInterface(udp.Socket()));
  udp.SendToMe(5);
  uint8_t buffer[64];
  uint32_t source = 0;
  uint32_t arrival = 0;
  ASSERT_EQ(5, ReceiveDatagramOn(udp.Socket(), buffer, sizeof buffer, &source, &arrival));
  EXPECT_EQ(LOOPBACK_ADDRESS, source);
  ASSERT_NE(0u, arrival);

  // Out of the loopback interface by its index, with its address as the source.
  const NetInterface loopback{"loopback", arrival, LOOPBACK_ADDRESS, 0x000000FF};
  const SocketHandle sender = CreateUdpSocket();
  ASSERT_NE(INVALID_SOCKET_HANDLE, sender);
  const uint8_t bytes[3] = {1, 2, 3};
  EXPECT_EQ(3, SendDatagramAlong(sender, bytes, sizeof bytes, {LOOPBACK_ADDRESS, loopback},
                                 LocalPort(udp.Socket())));
  ASSERT_EQ(1, WaitReadable(udp.Socket(), 2000));
  uint32_t again = 0;
  EXPECT_EQ(3, ReceiveDatagramOn(udp.Socket(), buffer, sizeof buffer, &source, &again));
  EXPECT_EQ(arrival, again);
  CloseSocket(sender);

  udp.SendToMe(sizeof buffer + 1);
  EXPECT_EQ(DATAGRAM_TOO_LONG,
            ReceiveDatagramOn(udp.Socket(), buffer, sizeof buffer, nullptr, nullptr));
}

TEST(NetInterfaces, ASocketThatWasNotAskedReportsNoInterface) {
  LoopbackUdp udp;
  udp.SendToMe(7);
  uint8_t buffer[16];
  uint32_t arrival = 99;
  EXPECT_EQ(7, ReceiveDatagramOn(udp.Socket(), buffer, sizeof buffer, nullptr, &arrival));
  EXPECT_EQ(0u, arrival);
}

TEST(NetInterfaces, ListsNoLoopbackAndEachInterfaceOnce) {
  std::vector<NetInterface> interfaces;
  int error = -1;
  ASSERT_TRUE(ListBroadcastInterfaces(&interfaces, &error));
  EXPECT_EQ(0, error);
  for (size_t i = 0; i < interfaces.size(); ++i) {
    SCOPED_TRACE(interfaces[i].name);
    EXPECT_FALSE(interfaces[i].name.empty());
    EXPECT_NE(0u, interfaces[i].index);
    EXPECT_NE(127u, interfaces[i].address & 0xFF);  // network order: the first octet
    for (size_t j = 0; j < i; ++j) EXPECT_NE(interfaces[j].index, interfaces[i].index);
  }
}

TEST(SocketErrorText, GivesTheSystemsTextForASocketError) {
  const std::string text = SocketErrorText(SOCKET_ERR_ADDRESS_IN_USE);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(std::string::npos, text.find("Unknown error")) << text;
}

}  // namespace
