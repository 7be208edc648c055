// The Windows side of the socket port: Windows Sockets 2 (ws2_32).
#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <climits>

#include "common/socket_port.h"

namespace {

// Not in every SDK header: WSAIoctl code that stops ICMP "port unreachable" messages from
// failing later receives on a datagram socket with WSAECONNRESET.
constexpr DWORD UDP_CONNRESET_IOCTL = IOC_IN | IOC_VENDOR | 12;

std::atomic<int> g_nHeldStartups{0};

sockaddr_in Ipv4Endpoint(uint32_t address, uint16_t port) {
  sockaddr_in endpoint{};
  endpoint.sin_family = AF_INET;
  endpoint.sin_addr.s_addr = address;
  endpoint.sin_port = htons(port);
  return endpoint;
}

// A block length as the int that Winsock takes; datagrams and stream blocks stay far below.
int ClampedLength(size_t length) {
  return length > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(length);
}

// Waits on one socket with select(). Winsock's descriptor sets are arrays of handles, so
// any handle value fits. A connect attempt that fails shows in the exception set, which
// counts as ready, so that the caller's next call (SO_ERROR) tells which.
int WaitFor(SocketHandle socket, uint32_t timeoutMs, bool write) {
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(socket, &ready);
  FD_SET(socket, &failed);
  timeval timeout{};
  timeout.tv_sec = static_cast<long>(timeoutMs / 1000);
  timeout.tv_usec = static_cast<long>((timeoutMs % 1000) * 1000);
  const int count = write ? select(0, nullptr, &ready, &failed, &timeout)
                          : select(0, &ready, nullptr, &failed, &timeout);
  if (count == SOCKET_ERROR) return -1;
  return count > 0 ? 1 : 0;
}

}  // namespace

bool SocketStartup(int major, int minor, int* error) {
  WSADATA data{};
  const int result = WSAStartup(MAKEWORD(major, minor), &data);
  if (result != 0) {
    *error = result;
    return false;
  }
  if (LOBYTE(data.wVersion) != major || HIBYTE(data.wVersion) != minor) {
    WSACleanup();
    *error = WSAVERNOTSUPPORTED;
    return false;
  }
  ++g_nHeldStartups;
  *error = 0;
  return true;
}

void SocketCleanup() {
  --g_nHeldStartups;
  WSACleanup();
}

int HeldSocketStartups() { return g_nHeldStartups.load(); }

int LastSocketError() { return WSAGetLastError(); }

std::string SocketErrorText(int error) {
  char text[256] = {};
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
  std::string message(text, length);
  // The system's texts end with a full stop and a line break.
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(error) : message;
}

int CloseSocket(SocketHandle socket) {
  if (socket == INVALID_SOCKET_HANDLE) return -1;
  return closesocket(socket) == 0 ? 0 : -1;
}

SocketHandle CreateUdpSocket() {
  const SocketHandle socket = ::socket(AF_INET, SOCK_DGRAM, 0);
  if (socket == INVALID_SOCKET_HANDLE) return socket;
  // Linux never reports an ICMP error on an unconnected datagram socket; Windows would fail
  // the next receive with it and end a wait for the remaining replies. The result is not
  // needed: without the switch only that difference stays.
  BOOL report = FALSE;
  DWORD returned = 0;
  (void)WSAIoctl(socket, UDP_CONNRESET_IOCTL, &report, sizeof report, nullptr, 0, &returned,
                 nullptr, nullptr);
  return socket;
}

bool EnableBroadcast(SocketHandle socket) {
  const BOOL on = TRUE;
  return setsockopt(socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                    sizeof on) == 0;
}

bool ReadBroadcastOption(SocketHandle socket, int* value) {
  BOOL read = FALSE;
  int length = sizeof read;
  if (getsockopt(socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<char*>(&read), &length) != 0) {
    return false;
  }
  *value = read ? 1 : 0;
  return true;
}

bool BindAnyAddress(SocketHandle socket, uint16_t port) {
  // Without SO_EXCLUSIVEADDRUSE another program could bind the same port with SO_REUSEADDR
  // and take datagrams meant for this one.
  const BOOL on = TRUE;
  if (setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
                 sizeof on) != 0) {
    return false;
  }
  const sockaddr_in local = Ipv4Endpoint(htonl(INADDR_ANY), port);
  return bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

int WaitReadable(SocketHandle socket, uint32_t timeoutMs) {
  return WaitFor(socket, timeoutMs, false);
}

long SendDatagram(SocketHandle socket, const uint8_t* data, size_t length, uint32_t address,
                  uint16_t port) {
  const sockaddr_in peer = Ipv4Endpoint(address, port);
  return sendto(socket, reinterpret_cast<const char*>(data), ClampedLength(length), 0,
                reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
}

bool IsWouldBlock(int error) { return error == WSAEWOULDBLOCK; }

long ReceiveDatagram(SocketHandle socket, uint8_t* buffer, size_t capacity, uint32_t* sourceAddress,
                     uint16_t* sourcePort) {
  sockaddr_in peer{};
  int peerLength = sizeof peer;
  int received;
  do {
    peerLength = sizeof peer;
    received = recvfrom(socket, reinterpret_cast<char*>(buffer), ClampedLength(capacity), 0,
                        reinterpret_cast<sockaddr*>(&peer), &peerLength);
  } while (received == SOCKET_ERROR && WSAGetLastError() == WSAEINTR);
  // A datagram longer than the buffer fails the call with WSAEMSGSIZE; the rest of it is gone.
  if (received == SOCKET_ERROR) {
    return WSAGetLastError() == WSAEMSGSIZE ? DATAGRAM_TOO_LONG : RECEIVE_FAILED;
  }
  if (sourceAddress != nullptr) *sourceAddress = peer.sin_addr.s_addr;
  if (sourcePort != nullptr) *sourcePort = ntohs(peer.sin_port);
  return received;
}

SocketHandle CreateTcpSocket() { return ::socket(AF_INET, SOCK_STREAM, 0); }

bool SetNonBlocking(SocketHandle socket, bool nonBlocking) {
  u_long argument = nonBlocking ? 1 : 0;
  return ioctlsocket(socket, FIONBIO, &argument) == 0;
}

bool SetReceiveTimeout(SocketHandle socket, uint32_t milliseconds) {
  const DWORD timeout = milliseconds;  // Winsock takes the time-out as DWORD milliseconds
  return setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                    sizeof timeout) == 0;
}

bool SetReceiveBufferSize(SocketHandle socket, int bytes) {
  return setsockopt(socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes),
                    sizeof bytes) == 0;
}

bool SetResetOnClose(SocketHandle socket) {
  const linger abort{1, 0};
  return setsockopt(socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                    sizeof abort) == 0;
}

bool PrepareSendHandOver(SocketHandle socket) {
  const int unbuffered = 0;
  return setsockopt(socket, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&unbuffered),
                    sizeof unbuffered) == 0;
}

// With the send buffer off, a blocking send has returned only once the network had its bytes.
int WaitSendHandedOver(SocketHandle /*socket*/, uint32_t /*stallTimeoutMs*/) { return 1; }

int ConnectIpv4(SocketHandle socket, uint32_t address, uint16_t port) {
  const sockaddr_in peer = Ipv4Endpoint(address, port);
  return connect(socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0 ? 0 : -1;
}

bool IsConnectPending(int error) { return error == WSAEWOULDBLOCK; }

int WaitWritable(SocketHandle socket, uint32_t timeoutMs) {
  return WaitFor(socket, timeoutMs, true);
}

bool IsTransientReceiveError(int error) { return error == WSAETIMEDOUT || error == WSAEINTR; }

int PendingSocketError(SocketHandle socket) {
  int error = 0;
  int length = sizeof error;
  if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
    return WSAGetLastError();
  }
  return error;
}

long SendStream(SocketHandle socket, const uint8_t* data, size_t length) {
  // Windows raises no signal when the peer has closed: plain flags.
  return send(socket, reinterpret_cast<const char*>(data), ClampedLength(length), 0);
}

long ReceiveStream(SocketHandle socket, uint8_t* buffer, size_t capacity) {
  return recv(socket, reinterpret_cast<char*>(buffer), ClampedLength(capacity), 0);
}

uint16_t LocalPort(SocketHandle socket) {
  sockaddr_in local{};
  int length = sizeof local;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
  return ntohs(local.sin_port);
}

SocketHandle ListenTcp(uint32_t address, uint16_t port, uint16_t* boundPort, int backlog) {
  const SocketHandle listener = CreateTcpSocket();
  if (listener == INVALID_SOCKET_HANDLE) return listener;
  // Windows lets a new listener take a port whose connections linger in TIME_WAIT by itself;
  // SO_REUSEADDR would let it share a port that another socket listens on, so it stays off.
  const sockaddr_in local = Ipv4Endpoint(address, port);
  if (bind(listener, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
      listen(listener, backlog) != 0 || (*boundPort = LocalPort(listener)) == 0) {
    const int error = WSAGetLastError();
    CloseSocket(listener);
    WSASetLastError(error);
    return INVALID_SOCKET_HANDLE;
  }
  return listener;
}

SocketHandle AcceptConnection(SocketHandle listener) { return accept(listener, nullptr, nullptr); }
