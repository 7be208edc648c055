#include "tcp/tcp_link.h"

#include <cstring>

#include "tcp/texts.h"

CTcpLink::~CTcpLink() { CloseLink(); }

int CTcpLink::Fail(int code) {
  CloseLink();
  return code;
}

int CTcpLink::ConnectWithTimeout(const char* addressText, int port) {
  CloseLink();  // a new connect always makes a new socket
  int error = 0;
  if (!SocketStartup(2, 2, &error)) return TCP_ERR_STARTUP;
  m_bStarted = true;
  m_socket = CreateTcpSocket();
  if (m_socket == INVALID_SOCKET_HANDLE) return Fail(TCP_ERR_SOCKET);
  m_nPort = port;
  std::strncpy(m_szAddress, addressText, sizeof m_szAddress - 1);
  // Text that is no dotted address is refused as a failed connect before anything is
  // addressed (it would otherwise stand for the broadcast address).
  uint32_t address = 0;
  const bool parsed = ParseIpv4(m_szAddress, &address);
  // Without its receive time-out a receive could block for ever: a socket that refuses
  // either option counts as one that could not be made.
  if (!SetReceiveTimeout(m_socket, TCP_RECEIVE_TIMEOUT_MS) || !PrepareSendHandOver(m_socket)) {
    return Fail(TCP_ERR_SOCKET);
  }
  if (!SetNonBlocking(m_socket, true)) return Fail(TCP_ERR_NONBLOCK);
  if (!parsed) return Fail(TCP_ERR_CONNECT);
  if (ConnectIpv4(m_socket, address, static_cast<uint16_t>(port)) != 0) {
    if (!IsConnectPending(LastSocketError())) return Fail(TCP_ERR_CONNECT);
  }
  const int ready = WaitWritable(m_socket, TCP_CONNECT_TIMEOUT_MS);
  if (ready < 0) return Fail(TCP_ERR_SELECT);
  // Where a failed attempt shows as writable, its pending error tells it apart.
  if (ready == 0 || PendingSocketError(m_socket) != 0) return Fail(TCP_ERR_TIMEOUT);
  if (!SetNonBlocking(m_socket, false)) return Fail(TCP_ERR_BLOCKING);
  return TCP_OK;
}

long CTcpLink::SendBytes(const uint8_t* data, size_t length) {
  return SendStream(m_socket, data, length);
}

bool CTcpLink::WaitSendHandedOver() {
  return ::WaitSendHandedOver(m_socket, TCP_HAND_OVER_STALL_MS) == 1;
}

long CTcpLink::ReceiveBytes(uint8_t* buffer, size_t capacity) {
  return ReceiveStream(m_socket, buffer, capacity);
}

int CTcpLink::CloseLink() {
  // The socket library's start-up of the last connect is released with its socket, so
  // that every connect's start-up is balanced.
  const int result = CloseSocket(m_socket);
  m_socket = INVALID_SOCKET_HANDLE;
  if (m_bStarted) SocketCleanup();
  m_bStarted = false;
  return result;
}

const char* ConnectErrorText(int code, bool korean) {
  for (const ConnectErrorEntry& entry : CONNECT_ERROR_TEXTS) {
    if (entry.code == code) return entry.text.In(korean);
  }
  return "";
}

const char* ConnectErrorCaption(bool korean) { return CONNECT_ERROR_CAPTION.In(korean); }
