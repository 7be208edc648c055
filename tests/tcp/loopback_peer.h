// Loopback TCP peers for the link tests: a listener on 127.0.0.1 that serves one connection
// on its own thread, a port where nothing listens, and a port whose connection attempts go
// unanswered. Not thread-safe; each belongs to one test.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "common/socket_port.h"
#include "tests/common/loopback.h"

// A listening socket on `address` (network order, a 127.x.y.z address) and `port` (0: any
// free port), waiting up to 3 s for a fixed port that another run still holds; the test
// fails when it stays busy.
SocketHandle ListenLoopback(uint16_t port, uint16_t* boundPort,
                            uint32_t address = LOOPBACK_ADDRESS);

class LoopbackPeer {
 public:
  // Listens on 127.0.0.1:`port` (0: an ephemeral port); `serve` runs with the accepted
  // socket, which is closed after it returns.
  explicit LoopbackPeer(std::function<void(SocketHandle)> serve, uint16_t port = 0);
  ~LoopbackPeer();

  uint16_t Port() const { return m_nPort; }

 private:
  SocketHandle m_listener = INVALID_SOCKET_HANDLE;
  uint16_t m_nPort = 0;
  std::atomic<bool> m_bStop{false};
  std::thread m_thread;
};

// A loopback port on which nothing listens (bound, never listening, so no one else takes it
// while the test runs): a connect is refused at once.
class ClosedLoopbackPort {
 public:
  ClosedLoopbackPort();
  ~ClosedLoopbackPort();
  uint16_t Port() const { return m_nPort; }

 private:
  SocketHandle m_socket;
  uint16_t m_nPort = 0;
};

// A loopback listener whose accept queue (backlog 0) is already full with one connection
// that is never accepted: the kernel drops further connection requests, so a connect gets
// no answer at all, as from a printer that is switched off.
class UnansweredLoopbackPort {
 public:
  UnansweredLoopbackPort();
  ~UnansweredLoopbackPort();
  uint16_t Port() const { return m_nPort; }

 private:
  uint16_t m_nPort = 0;  // first: the listener's initialiser writes it
  SocketHandle m_listener;
  SocketHandle m_queued;
};
