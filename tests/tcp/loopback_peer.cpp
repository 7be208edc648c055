#include "tests/tcp/loopback_peer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

uint16_t BindLoopback(SocketHandle socket) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  EXPECT_EQ(0, bind(socket, reinterpret_cast<sockaddr*>(&local), sizeof local));
  socklen_t length = sizeof local;
  EXPECT_EQ(0, getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length));
  return ntohs(local.sin_port);
}

}  // namespace

LoopbackPeer::LoopbackPeer(std::function<void(SocketHandle)> serve) {
  m_listener = CreateTcpSocket();
  m_nPort = BindLoopback(m_listener);
  EXPECT_EQ(0, listen(m_listener, 1));
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
