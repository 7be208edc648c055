// A TCP listener on 127.0.0.1 for the link tests: accepts one connection on its own thread
// and hands it to the test's function. Not thread-safe; one per test.
#pragma once

#include <functional>
#include <thread>

#include "common/socket_port.h"

class LoopbackPeer {
 public:
  // Listens on an ephemeral loopback port; `serve` runs with the accepted socket, which is
  // closed after it returns.
  explicit LoopbackPeer(std::function<void(SocketHandle)> serve);
  ~LoopbackPeer();

  uint16_t Port() const { return m_nPort; }

 private:
  SocketHandle m_listener = INVALID_SOCKET_HANDLE;
  uint16_t m_nPort = 0;
  std::thread m_thread;
};

// A loopback port on which nothing listens (bound, never listening, so no one else takes it
// while the test runs).
class ClosedLoopbackPort {
 public:
  ClosedLoopbackPort();
  ~ClosedLoopbackPort();
  uint16_t Port() const { return m_nPort; }

 private:
  SocketHandle m_socket;
  uint16_t m_nPort = 0;
};
