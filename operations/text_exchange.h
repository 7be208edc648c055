// The text protocol's datagram socket without a window: bound to UDP port 27700 with
// broadcast on, sending requests and collecting replies. Used by the CLI and the
// simulator. Blocking; not thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/net_interfaces.h"
#include "common/socket_port.h"

constexpr uint32_t TEXT_SEARCH_QUIET_MS = 1500;
constexpr uint32_t TEXT_SET_ACK_WAIT_MS = 7000;
// The largest datagram read whole, as the window reads them; only the first 128 bytes of a
// reply count.
constexpr size_t TEXT_RECEIVE_BUFFER_SIZE = 69999;

// A valid reply: its first 128 characters and the interface it came in on (0 when the
// socket does not report it).
struct TextReply {
  std::string message;
  uint32_t interfaceIndex;
};

// A UDP socket on TEXT_PORT with SO_BROADCAST, or INVALID_SOCKET_HANDLE with *error set
// (a second copy on the same machine fails to bind).
[[nodiscard]] SocketHandle OpenTextSocket(int* error);

// Sends a message to TEXT_PORT along every route; 0, or the socket error of the first send
// that failed (the others are still sent).
[[nodiscard]] int SendTextMessageAlong(SocketHandle socket, const std::string& message,
                                       const std::vector<DatagramRoute>& routes);

// Valid replies (upper-case check digits) with message code `code`, in arrival order, until
// `quietMs` have passed without one and `keepCollecting` (may be empty) says false; while
// it says true, it is asked again at least every TEXT_BUSY_POLL_MS.
constexpr uint32_t TEXT_BUSY_POLL_MS = 10;
[[nodiscard]] std::vector<TextReply> CollectTextReplies(
    SocketHandle socket, const char* code, uint32_t quietMs,
    const std::function<bool()>& keepCollecting);

// The first valid reply with `code` within `timeoutMs` in all; false when none came.
[[nodiscard]] bool WaitForTextReply(SocketHandle socket, const char* code, uint32_t timeoutMs,
                                    std::string* reply);
