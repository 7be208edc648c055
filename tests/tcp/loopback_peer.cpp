#include "tests/tcp/loopback_peer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "sim/tcp_services.h"

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
    const SocketHandle connection = accept(m_listener, nullptr, nullptr);
    if (connection < 0) return;  // the listener was shut down unused
    serve(connection);
    CloseSocket(connection);
  });
}

LoopbackPeer::~LoopbackPeer() {
  shutdown(m_listener, SHUT_RDWR);  // ends an accept that never got a connection
  m_thread.join();
  CloseSocket(m_listener);
}

ClosedLoopbackPort::ClosedLoopbackPort() : m_socket(CreateTcpSocket()) {
  m_nPort = BindLoopback(m_socket);
}

ClosedLoopbackPort::~ClosedLoopbackPort() { CloseSocket(m_socket); }

UnansweredLoopbackPort::UnansweredLoopbackPort()
    : m_listener(CreateTcpSocket()), m_queued(CreateTcpSocket()) {
  m_nPort = BindLoopback(m_listener);
  EXPECT_EQ(0, listen(m_listener, 0));
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_addr.s_addr = LOOPBACK_ADDRESS;
  peer.sin_port = htons(m_nPort);
  EXPECT_EQ(0, connect(m_queued, reinterpret_cast<sockaddr*>(&peer), sizeof peer));
}

UnansweredLoopbackPort::~UnansweredLoopbackPort() {
  CloseSocket(m_queued);
  CloseSocket(m_listener);
}
