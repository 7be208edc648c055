// The datagram socket helpers on loopback: waits that a signal interrupts, and datagrams
// longer than the receive buffer.
#include "common/socket_port.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "tests/common/loopback.h"
#include "tests/common/signal_storm.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A UDP socket on 127.0.0.1 and a free port.
class LoopbackUdp {
 public:
  LoopbackUdp() : m_socket(CreateUdpSocket()), m_nPort(BindLoopback(m_socket)) {}
  ~LoopbackUdp() { CloseSocket(m_socket); }

  SocketHandle Socket() const { return m_socket; }
  // Sends `size` bytes to this socket from a socket of its own.
  void SendToMe(size_t size) const {
    const SocketHandle sender = CreateUdpSocket();
    const std::vector<uint8_t> bytes(size, 'x');
    EXPECT_EQ(static_cast<long>(size),
              SendDatagram(sender, bytes.data(), size, LOOPBACK_ADDRESS, m_nPort));
    CloseSocket(sender);
  }

 private:
  SocketHandle m_socket;
  uint16_t m_nPort;
};

TEST(SocketPort, SignalsDoNotEndAWaitOrAReceive) {
  LoopbackUdp udp;
  SignalStorm storm;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, WaitReadable(udp.Socket(), 400));  // the whole time, then a time-out
  EXPECT_GE(SecondsSince(start), 0.39);

  std::thread late([&udp] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    udp.SendToMe(5);
  });
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(1, WaitReadable(udp.Socket(), 5000));
  EXPECT_GE(SecondsSince(start), 0.25);
  late.join();
  uint8_t buffer[16];
  EXPECT_EQ(5, ReceiveDatagram(udp.Socket(), buffer, sizeof buffer, nullptr, nullptr));

  // A blocking receive on an empty socket waits through the signals for the datagram.
  late = std::thread([&udp] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    udp.SendToMe(7);
  });
  EXPECT_EQ(7, ReceiveDatagram(udp.Socket(), buffer, sizeof buffer, nullptr, nullptr));
  late.join();
  EXPECT_GE(storm.Sent(), 10);
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
