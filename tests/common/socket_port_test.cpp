// The socket port on this platform: address sharing refused, listeners and connections,
// datagrams longer than the receive buffer, and the wait until the peer has taken what was
// sent.
#include "common/socket_port.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "tests/common/loopback.h"

// A socket that asks to share its address needs the platform's own option. Windows refuses
// it an exclusive address with WSAEACCES; without SO_EXCLUSIVEADDRUSE it would let it bind.
#ifdef _WIN32
#include <winsock2.h>
constexpr int SHARING_REFUSED = WSAEACCES;
#else
#include <netinet/in.h>
#include <sys/ioctl.h>
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

#ifndef _WIN32
// On Windows a send with the send buffer switched off returns only once the network has
// its bytes, and the wait has nothing left to do; wine does not behave so, and these
// tests run where the wait does the work.

// A loopback connection whose receiving end has the smallest receive buffer, so that a few
// kilobytes sent stay in the sender's queue until the receiver reads them.
class NarrowConnection : public ::testing::Test {
 protected:
  void SetUp() override {
    uint16_t port = 0;
    m_listener = ListenTcp(LOOPBACK_ADDRESS, 0, &port);
    ASSERT_NE(INVALID_SOCKET_HANDLE, m_listener);
    const int smallest = 1;  // the kernel raises it to its minimum
    ASSERT_TRUE(SetReceiveBufferSize(m_listener, smallest));
    m_sender = CreateTcpSocket();
    ASSERT_EQ(0, ConnectIpv4(m_sender, LOOPBACK_ADDRESS, port));
    m_receiver = AcceptConnection(m_listener);
    ASSERT_NE(INVALID_SOCKET_HANDLE, m_receiver);
  }
  void TearDown() override {
    for (SocketHandle socket : {m_sender, m_receiver, m_listener}) CloseSocket(socket);
  }

  // Sends `length` bytes in one blocking send; they fit the sender's queue.
  void Send(size_t length) {
    const std::vector<uint8_t> block(length, 0xA5);
    ASSERT_EQ(static_cast<long>(length), SendStream(m_sender, block.data(), block.size()));
  }

  // Bytes waiting in the receiver's receive queue.
  size_t Waiting() const {
    int waiting = 0;
    EXPECT_EQ(0, ioctl(m_receiver, FIONREAD, &waiting));
    return static_cast<size_t>(waiting);
  }

  SocketHandle m_listener = INVALID_SOCKET_HANDLE;
  SocketHandle m_sender = INVALID_SOCKET_HANDLE;
  SocketHandle m_receiver = INVALID_SOCKET_HANDLE;
};

constexpr size_t BLOCK = 16 * 1024;

TEST_F(NarrowConnection, HandOverWaitsUntilTheReceiverHasEveryByte) {
  EXPECT_EQ(1, WaitSendHandedOver(m_sender, 1000));  // nothing sent yet
  Send(BLOCK);
  ASSERT_LT(Waiting(), BLOCK);  // the rest is still queued here

  // The receiver reads in small steps, with pauses well below the stall time: a wait that
  // ended on a total time instead would give up before the last step.
  std::atomic<size_t> read{0};
  std::thread receiver([&] {
    std::vector<uint8_t> buffer(4096);
    for (long got;
         read < BLOCK && (got = ReceiveStream(m_receiver, buffer.data(), buffer.size())) > 0;) {
      read += static_cast<size_t>(got);
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
  });
  const int handedOver = WaitSendHandedOver(m_sender, 300);
  // The receive queue first, then what was read: a byte read in between counts twice,
  // never not at all.
  const size_t arrived = Waiting();
  const size_t readNow = read.load();
  receiver.join();
  EXPECT_EQ(1, handedOver);
  EXPECT_GE(arrived + readNow, BLOCK);
}

TEST_F(NarrowConnection, HandOverGivesUpOnAReceiverThatTakesNothing) {
  Send(BLOCK);
  EXPECT_EQ(0, WaitSendHandedOver(m_sender, 200));
}

TEST_F(NarrowConnection, HandOverFailsWhenTheReceiverDropsTheConnection) {
  Send(BLOCK);
  // Closing with unread bytes resets the connection.
  CloseSocket(m_receiver);
  m_receiver = INVALID_SOCKET_HANDLE;
  EXPECT_EQ(-1, WaitSendHandedOver(m_sender, 5000));
}
#endif

}  // namespace
