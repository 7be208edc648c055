// CTcpLink: the one TCP client connection of the download and the test page: a connect
// with a one-second time-out, then plain blocking sends and receives with a 100 ms receive
// time-out. The link owns its socket and closes it when destroyed. Not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/socket_port.h"

constexpr int TCP_OK = 1;
constexpr int TCP_ERR_STARTUP = -1;
constexpr int TCP_ERR_VERSION = -2;
constexpr int TCP_ERR_SOCKET = -3;
constexpr int TCP_ERR_NONBLOCK = -4;
constexpr int TCP_ERR_CONNECT = -5;
constexpr int TCP_ERR_SELECT = -6;
constexpr int TCP_ERR_TIMEOUT = -7;
constexpr int TCP_ERR_BLOCKING = -8;

constexpr uint32_t TCP_CONNECT_TIMEOUT_MS = 1000;
constexpr uint32_t TCP_RECEIVE_TIMEOUT_MS = 100;
// A peer that takes nothing of a sent block for this long is given up (WaitSendHandedOver).
constexpr uint32_t TCP_HAND_OVER_STALL_MS = 10000;

class CTcpLink {
 public:
  CTcpLink() = default;
  ~CTcpLink();
  CTcpLink(const CTcpLink&) = delete;
  CTcpLink& operator=(const CTcpLink&) = delete;

  // Connects to the dotted address text and port. Returns TCP_OK, connected and blocking,
  // or a TCP_ERR_* code with no socket left open. A refused or unanswered attempt gives
  // TCP_ERR_TIMEOUT; text that is not a dotted IPv4 address gives TCP_ERR_CONNECT
  // without any attempt.
  [[nodiscard]] int ConnectWithTimeout(const char* addressText, int port);
  // One send of the whole block: the count taken, or -1.
  [[nodiscard]] long SendBytes(const uint8_t* data, size_t length);
  // Waits until the printer has taken every byte sent so far, so that a send followed by
  // this returns only once the network has the data. false when the printer took nothing
  // for TCP_HAND_OVER_STALL_MS or the connection failed.
  [[nodiscard]] bool WaitSendHandedOver();
  // One receive: the count, 0 when the peer closed its side, -1 on error or time-out.
  [[nodiscard]] long ReceiveBytes(uint8_t* buffer, size_t capacity);
  // Closes the socket (if any) and releases the socket library's start-up of the last
  // connect: the close's result, 0 or -1 (-1 also when there was none).
  int CloseLink();

  bool IsOpen() const { return m_socket != INVALID_SOCKET_HANDLE; }

 private:
  int Fail(int code);

  SocketHandle m_socket = INVALID_SOCKET_HANDLE;
  bool m_bStarted = false;  // holds a SocketStartup of its last connect
  int m_nPort = 0;
  char m_szAddress[256] = {};
};

// The text that reports a failed connect, and the caption of its message box, in English
// or Korean (UTF-8).
const char* ConnectErrorText(int code, bool korean);
const char* ConnectErrorCaption(bool korean);
