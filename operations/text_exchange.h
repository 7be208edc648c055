// The text protocol's datagram socket without a window: bound to UDP port 27700 with
// broadcast on, sending requests and collecting replies. Used by the CLI and the
// simulator. Blocking; not thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/socket_port.h"

constexpr uint32_t TEXT_SEARCH_QUIET_MS = 1500;
constexpr uint32_t TEXT_SET_ACK_WAIT_MS = 7000;

// A UDP socket on TEXT_PORT with SO_BROADCAST, or INVALID_SOCKET_HANDLE with *error set
// (a second copy on the same machine fails to bind).
[[nodiscard]] SocketHandle OpenTextSocket(int* error);

// Sends a message to `address`:TEXT_PORT; 0, or the socket error.
[[nodiscard]] int SendTextMessage(SocketHandle socket, const std::string& message,
                                  uint32_t address);

// Valid replies (upper-case check digits) with message code `code`, in arrival order, until
// `quietMs` pass without one.
[[nodiscard]] std::vector<std::string> CollectTextReplies(SocketHandle socket, const char* code,
                                                          uint32_t quietMs);

// The first valid reply with `code` within `timeoutMs` in all; false when none came.
[[nodiscard]] bool WaitForTextReply(SocketHandle socket, const char* code, uint32_t timeoutMs,
                                    std::string* reply);
