#include "tests/tcp/loopback_peer.h"

#include <gtest/gtest.h>

#include <chrono>

#include "common/ipv4_text.h"

namespace {

constexpr uint32_t ACCEPT_POLL_MS = 20;

}  // namespace

SocketHandle ListenLoopback(uint16_t port, uint16_t* boundPort, uint32_t address) {
  SocketHandle listener = ListenTcp(address, port, boundPort);
  for (int tries = 0; tries < 30 && listener == INVALID_SOCKET_HANDLE; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    listener = ListenTcp(address, port, boundPort);
  }
  char text[16];
  FormatIpv4(address, text);
  EXPECT_NE(INVALID_SOCKET_HANDLE, listener) << text << ":" << port << " stays busy";
  return listener;
}

LoopbackPeer::LoopbackPeer(std::function<void(SocketHandle)> serve, uint16_t port) {
  m_listener = ListenLoopback(port, &m_nPort);
  m_thread = std::thread([this, serve = std::move(serve)] {
    // Polls, so that a peer whose test never connects ends when the test does.
    while (!m_bStop.load()) {
      if (WaitReadable(m_listener, ACCEPT_POLL_MS) != 1) continue;
      const SocketHandle connection = AcceptConnection(m_listener);
      if (connection == INVALID_SOCKET_HANDLE) return;
      serve(connection);
      CloseSocket(connection);
      return;
    }
  });
}

LoopbackPeer::~LoopbackPeer() {
  m_bStop.store(true);
  m_thread.join();
  CloseSocket(m_listener);
}

ClosedLoopbackPort::ClosedLoopbackPort() : m_socket(CreateTcpSocket()) {
  EXPECT_TRUE(BindAnyAddress(m_socket, 0));
  m_nPort = LocalPort(m_socket);
}

ClosedLoopbackPort::~ClosedLoopbackPort() { CloseSocket(m_socket); }

UnansweredLoopbackPort::UnansweredLoopbackPort()
    : m_listener(ListenTcp(LOOPBACK_ADDRESS, 0, &m_nPort, 0)), m_queued(CreateTcpSocket()) {
  EXPECT_NE(INVALID_SOCKET_HANDLE, m_listener);
  EXPECT_EQ(0, ConnectIpv4(m_queued, LOOPBACK_ADDRESS, m_nPort));
}

UnansweredLoopbackPort::~UnansweredLoopbackPort() {
  CloseSocket(m_queued);
  CloseSocket(m_listener);
}
