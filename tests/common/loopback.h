// Loopback addressing for tests that stay on this machine: 127.0.0.1 and a free port.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "common/socket_port.h"

constexpr uint32_t LOOPBACK_ADDRESS = 0x0100007F;  // 127.0.0.1 in network byte order

// Binds the socket to 127.0.0.1 and a port the kernel picks; returns that port (the test
// fails when the bind does).
inline uint16_t BindLoopback(SocketHandle socket) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = LOOPBACK_ADDRESS;
  EXPECT_EQ(0, bind(socket, reinterpret_cast<sockaddr*>(&local), sizeof local));
  socklen_t length = sizeof local;
  EXPECT_EQ(0, getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length));
  return ntohs(local.sin_port);
}
