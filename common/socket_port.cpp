#include "common/socket_port.h"

#include <arpa/inet.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "common/clock.h"

namespace {

std::atomic<int> g_nHeldStartups{0};

// Waits on one socket for reading or writing. poll() rather than select(), so that a
// descriptor number above FD_SETSIZE cannot overflow a descriptor set; an error or hang-up
// counts as ready, as select() reports it, and the caller's next call tells which. A wait
// that a signal interrupts goes on for the rest of its time.
int WaitFor(SocketHandle socket, uint32_t timeoutMs, bool write) {
  const uint32_t start = MillisecondClock();
  for (;;) {
    const uint32_t waited = MillisecondClock() - start;
    const uint32_t remaining = waited < timeoutMs ? timeoutMs - waited : 0;
    pollfd entry{};
    entry.fd = socket;
    entry.events = write ? POLLOUT : POLLIN;
    const int ready = poll(&entry, 1, static_cast<int>(remaining));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return -1;
    return ready > 0 && entry.revents != 0 ? 1 : 0;
  }
}

// Pauses of the hand-over wait: at first the shortest, doubling while the queue does not
// move; once it drains, half the time that the rest needs at the rate seen so far. Short
// enough to end close after the queue empties on loopback, long enough to cost nothing
// while a slow link drains.
constexpr std::chrono::nanoseconds HAND_OVER_PAUSE_MIN = std::chrono::microseconds(20);
constexpr std::chrono::nanoseconds HAND_OVER_PAUSE_MAX = std::chrono::milliseconds(2);

std::chrono::nanoseconds NextHandOverPause(std::chrono::nanoseconds pause,
                                           std::chrono::nanoseconds elapsed, int drained,
                                           int queued) {
  if (drained <= 0) return std::min(pause * 2, HAND_OVER_PAUSE_MAX);
  const double rest = static_cast<double>(elapsed.count()) * queued / drained;
  return std::clamp(std::chrono::nanoseconds(static_cast<int64_t>(rest / 2)), HAND_OVER_PAUSE_MIN,
                    HAND_OVER_PAUSE_MAX);
}

// Bytes sent on the stream socket that the peer has not acknowledged yet, or -1.
int QueuedSendBytes(SocketHandle socket) {
  int queued = 0;
  return ioctl(socket, SIOCOUTQ, &queued) == 0 ? queued : -1;
}

}  // namespace

bool SocketStartup(int /*major*/, int /*minor*/, int* error) {
  *error = 0;
  ++g_nHeldStartups;
  return true;
}

void SocketCleanup() { --g_nHeldStartups; }

int HeldSocketStartups() { return g_nHeldStartups.load(); }

int LastSocketError() { return errno; }

std::string SocketErrorText(int error) { return std::strerror(error); }

int CloseSocket(SocketHandle socket) {
  if (socket == INVALID_SOCKET_HANDLE) return -1;
  return close(socket) == 0 ? 0 : -1;
}

SocketHandle CreateUdpSocket() { return ::socket(AF_INET, SOCK_DGRAM, 0); }

bool EnableBroadcast(SocketHandle socket) {
  const int on = 1;
  return setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0;
}

bool ReadBroadcastOption(SocketHandle socket, int* value) {
  int read = 0;
  socklen_t length = sizeof read;
  if (getsockopt(socket, SOL_SOCKET, SO_BROADCAST, &read, &length) != 0) return false;
  *value = read;
  return true;
}

bool BindAnyAddress(SocketHandle socket, uint16_t port) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = htons(port);
  return bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

int WaitReadable(SocketHandle socket, uint32_t timeoutMs) {
  return WaitFor(socket, timeoutMs, false);
}

long SendDatagram(SocketHandle socket, const uint8_t* data, size_t length, uint32_t address,
                  uint16_t port) {
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_addr.s_addr = address;
  peer.sin_port = htons(port);
  return static_cast<long>(
      sendto(socket, data, length, 0, reinterpret_cast<const sockaddr*>(&peer), sizeof peer));
}

bool IsWouldBlock(int error) { return error == EWOULDBLOCK || error == EAGAIN; }

long ReceiveDatagram(SocketHandle socket, uint8_t* buffer, size_t capacity, uint32_t* sourceAddress,
                     uint16_t* sourcePort) {
  sockaddr_in peer{};
  socklen_t peerLength = sizeof peer;
  ssize_t received;
  do {
    // MSG_TRUNC makes Linux return the datagram's real length, so truncation shows.
    peerLength = sizeof peer;
    received = recvfrom(socket, buffer, capacity, MSG_TRUNC, reinterpret_cast<sockaddr*>(&peer),
                        &peerLength);
  } while (received < 0 && errno == EINTR);
  if (received < 0) return RECEIVE_FAILED;
  if (static_cast<size_t>(received) > capacity) return DATAGRAM_TOO_LONG;
  if (sourceAddress != nullptr) *sourceAddress = peer.sin_addr.s_addr;
  if (sourcePort != nullptr) *sourcePort = ntohs(peer.sin_port);
  return static_cast<long>(received);
}

SocketHandle CreateTcpSocket() { return ::socket(AF_INET, SOCK_STREAM, 0); }

bool SetNonBlocking(SocketHandle socket, bool nonBlocking) {
  int argument = nonBlocking ? 1 : 0;
  return ioctl(socket, FIONBIO, &argument) == 0;
}

bool SetReceiveTimeout(SocketHandle socket, uint32_t milliseconds) {
  timeval timeout{};
  timeout.tv_sec = static_cast<time_t>(milliseconds / 1000);
  timeout.tv_usec = static_cast<suseconds_t>((milliseconds % 1000) * 1000);
  return setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) == 0;
}

bool SetReceiveBufferSize(SocketHandle socket, int bytes) {
  return setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) == 0;
}

bool SetResetOnClose(SocketHandle socket) {
  const linger abort{1, 0};
  return setsockopt(socket, SOL_SOCKET, SO_LINGER, &abort, sizeof abort) == 0;
}

bool PrepareSendHandOver(SocketHandle /*socket*/) { return true; }

int WaitSendHandedOver(SocketHandle socket, uint32_t stallTimeoutMs) {
  using Clock = std::chrono::steady_clock;
  const int startQueued = QueuedSendBytes(socket);
  if (startQueued < 0) return -1;
  const Clock::time_point start = Clock::now();
  const std::chrono::milliseconds stallLimit(stallTimeoutMs);
  Clock::time_point lastProgress = start;
  int lastQueued = startQueued;
  std::chrono::nanoseconds pause = HAND_OVER_PAUSE_MIN;
  for (int queued = startQueued; queued > 0;) {
    // No event is asked for: only a failed connection (POLLERR, POLLHUP) ends a pause early.
    pollfd entry{};
    entry.fd = socket;
    const timespec timeout{0, static_cast<long>(pause.count())};
    const int failed = ppoll(&entry, 1, &timeout, nullptr);
    if (failed != 0 && !(failed < 0 && errno == EINTR)) return -1;
    queued = QueuedSendBytes(socket);
    if (queued < 0) return -1;
    const Clock::time_point now = Clock::now();
    if (queued < lastQueued) {
      lastQueued = queued;
      lastProgress = now;
    } else if (now - lastProgress >= stallLimit) {
      return 0;
    }
    pause = NextHandOverPause(pause, now - start, startQueued - queued, queued);
  }
  return 1;
}

int ConnectIpv4(SocketHandle socket, uint32_t address, uint16_t port) {
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_addr.s_addr = address;
  peer.sin_port = htons(port);
  return connect(socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0 ? 0 : -1;
}

bool IsConnectPending(int error) { return error == EINPROGRESS || error == EWOULDBLOCK; }

int WaitWritable(SocketHandle socket, uint32_t timeoutMs) {
  return WaitFor(socket, timeoutMs, true);
}

bool IsTransientReceiveError(int error) {
  return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

int PendingSocketError(SocketHandle socket) {
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error;
}

long SendStream(SocketHandle socket, const uint8_t* data, size_t length) {
  return static_cast<long>(send(socket, data, length, MSG_NOSIGNAL));
}

long ReceiveStream(SocketHandle socket, uint8_t* buffer, size_t capacity) {
  return static_cast<long>(recv(socket, buffer, capacity, 0));
}

uint16_t LocalPort(SocketHandle socket) {
  sockaddr_in local{};
  socklen_t length = sizeof local;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
  return ntohs(local.sin_port);
}

SocketHandle ListenTcp(uint32_t address, uint16_t port, uint16_t* boundPort, int backlog) {
  const SocketHandle listener = CreateTcpSocket();
  if (listener == INVALID_SOCKET_HANDLE) return listener;
  // SO_REUSEADDR lets a new listener take a port whose last connections still linger in
  // TIME_WAIT; a port that another socket listens on stays refused.
  const int on = 1;
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = address;
  local.sin_port = htons(port);
  if (setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
      bind(listener, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
      listen(listener, backlog) != 0 || (*boundPort = LocalPort(listener)) == 0) {
    const int error = errno;
    CloseSocket(listener);
    errno = error;
    return INVALID_SOCKET_HANDLE;
  }
  return listener;
}

SocketHandle AcceptConnection(SocketHandle listener) { return accept(listener, nullptr, nullptr); }
