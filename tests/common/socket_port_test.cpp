// The socket port on this platform: address sharing refused, listeners and connections,
// datagrams longer than the receive buffer.
#include "common/socket_port.h"

#include <gtest/gtest.h>

#include "tests/common/loopback.h"

// A socket that asks to share its address needs the platform's own option. Windows refuses
// it an exclusive address with WSAEACCES; without SO_EXCLUSIVEADDRUSE it would let it bind.
#ifdef _WIN32
#include <winsock2.h>
constexpr int SHARING_REFUSED = WSAEACCES;
#else
#include <netinet/in.h>
#include <sys/socket.h>
constexpr int SHARING_REFUSED = EADDRINUSE;
#endif

namespace {

// Binds a datagram socket to any address and `port` with SO_REUSEADDR on, as a program
// would that wants to share the port; false when the bind fails.
bool BindSharing(SocketHandle socket, uint16_t port) {
  const int on = 1;
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = htons(port);
  return setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on),
                    sizeof on) == 0 &&
         bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

TEST(SocketPort, ABoundPortRefusesEveryOtherSocket) {
  const SocketHandle first = CreateUdpSocket();
  ASSERT_NE(INVALID_SOCKET_HANDLE, first);
  ASSERT_TRUE(BindAnyAddress(first, 0));
  const uint16_t port = LocalPort(first);
  ASSERT_NE(0, port);
  const SocketHandle second = CreateUdpSocket();
  ASSERT_NE(INVALID_SOCKET_HANDLE, second);
  EXPECT_FALSE(BindAnyAddress(second, port));
  EXPECT_EQ(SOCKET_ERR_ADDRESS_IN_USE, LastSocketError());
  const SocketHandle sharing = CreateUdpSocket();
  ASSERT_NE(INVALID_SOCKET_HANDLE, sharing);
  EXPECT_FALSE(BindSharing(sharing, port));
  EXPECT_EQ(SHARING_REFUSED, LastSocketError());
  for (SocketHandle socket : {sharing, second}) CloseSocket(socket);
  CloseSocket(first);
}

TEST(SocketPort, AListenerAcceptsAndItsPortRefusesASecondListener) {
  constexpr uint32_t loopback = LOOPBACK_ADDRESS;
  uint16_t port = 0;
  const SocketHandle listener = ListenTcp(loopback, 0, &port);
  ASSERT_NE(INVALID_SOCKET_HANDLE, listener);
  EXPECT_EQ(port, LocalPort(listener));

  uint16_t secondPort = 0;
  EXPECT_EQ(INVALID_SOCKET_HANDLE, ListenTcp(loopback, port, &secondPort));
  EXPECT_EQ(SOCKET_ERR_ADDRESS_IN_USE, LastSocketError());

  const SocketHandle client = CreateTcpSocket();
  ASSERT_EQ(0, ConnectIpv4(client, loopback, port));
  ASSERT_EQ(1, WaitReadable(listener, 2000));
  const SocketHandle connection = AcceptConnection(listener);
  ASSERT_NE(INVALID_SOCKET_HANDLE, connection);
  const uint8_t byte = 0x5A;
  EXPECT_EQ(1, SendStream(client, &byte, 1));
  uint8_t received = 0;
  EXPECT_EQ(1, ReceiveStream(connection, &received, 1));
  EXPECT_EQ(byte, received);
  for (SocketHandle socket : {connection, client, listener}) CloseSocket(socket);
}

TEST(SocketPort, ADatagramLongerThanTheBufferIsDroppedWhole) {
  LoopbackUdp udp;
  udp.SendToMe(1461);
  udp.SendToMe(1460);
  uint8_t buffer[1460];
  uint32_t source = 0;
  EXPECT_EQ(DATAGRAM_TOO_LONG,
            ReceiveDatagram(udp.Socket(), buffer, sizeof buffer, &source, nullptr));
  EXPECT_EQ(1460, ReceiveDatagram(udp.Socket(), buffer, sizeof buffer, &source, nullptr));
  EXPECT_EQ(LOOPBACK_ADDRESS, source);
}

}  // namespace
