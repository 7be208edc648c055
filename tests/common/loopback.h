// Loopback addressing for tests that stay on this machine: 127.0.0.1, a free port, and a
// datagram socket that sends to itself.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "common/socket_port.h"

constexpr uint32_t LOOPBACK_ADDRESS = 0x0100007F;  // 127.0.0.1 in network byte order

// Binds the socket to a port the system picks and returns that port (the test fails when
// the bind does). Datagrams sent to 127.0.0.1 and that port reach it.
inline uint16_t BindLoopback(SocketHandle socket) {
  EXPECT_TRUE(BindAnyAddress(socket, 0));
  const uint16_t port = LocalPort(socket);
  EXPECT_NE(0, port);
  return port;
}

// A UDP socket on a free port, reached through 127.0.0.1.
class LoopbackUdp {
 public:
  LoopbackUdp() : m_socket(CreateUdpSocket()), m_nPort(BindLoopback(m_socket)) {}
  ~LoopbackUdp() { CloseSocket(m_socket); }
  LoopbackUdp(const LoopbackUdp&) = delete;
  LoopbackUdp& operator=(const LoopbackUdp&) = delete;

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
