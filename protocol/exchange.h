// What the discovery and settings-write exchanges share: the working state of one exchange
// (ExchangeContext), the socket set-up (OpenConfigSocket) and the filing of each received
// datagram (ParseReply). One exchange at a time per context; a context is not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/net_interfaces.h"
#include "common/socket_port.h"
#include "protocol/config_header.h"
#include "protocol/elements.h"
#include "protocol/printer_info.h"

constexpr int MAX_PRINTERS = 256;
constexpr size_t RECEIVE_BUFFER_SIZE = 1460;  // a longer datagram is a failed receive
constexpr size_t SEND_BUFFER_SIZE = CONFIG_HEADER_SIZE + MAX_RECORD_ENCODING;

// A datagram's header together with the record its payload decoded into.
struct ExchangeRecord {
  ConfigHeader header;
  PrinterInfo info;
};

struct ExchangeContext {
  ExchangeRecord results[MAX_PRINTERS];  // entries 0 .. resultCount-1 are filed
  ExchangeRecord reply;                  // the datagram being processed
  ExchangeRecord request;                // zero for a search; the target for a write
  uint8_t operation;                     // OP_SEARCH, OP_SEARCH_DIRECTED or OP_SET
  uint8_t requestFlags;                  // 0 or FLAG_DIRECTED
  int resultCount;
  int capacity;
  uint8_t sendBuffer[SEND_BUFFER_SIZE];
  size_t requestLength;
};

// Starts the sockets library, asking for version 1.1, creates a UDP socket with
// SO_BROADCAST and binds it to any address and CONFIG_PORT without address reuse. Returns
// the socket with *error = 0, or INVALID_SOCKET_HANDLE with *error set to the failing
// call's socket error; on failure nothing stays open and the library is released again.
[[nodiscard]] SocketHandle OpenConfigSocket(int* error);

// Files or drops one received datagram for the context's operation. `sourceAddress` is the
// sender (network order); `length` is the receive result, negative after a failed receive
// or for a datagram too long for the buffer; a datagram longer than RECEIVE_BUFFER_SIZE is
// dropped.
// Never reports an error: a dropped datagram leaves the result table as it was.
void ParseReply(ExchangeContext* context, uint32_t sourceAddress, const uint8_t* datagram,
                long length);

// Sends the context's request along every route (to its destination:CONFIG_PORT, out of its
// interface), and 10 ms later along every route again: with one route, the request goes out
// twice, 10 ms apart. Returns 0, or the socket error of the first failed send of the second
// round (the first round's results are not examined).
[[nodiscard]] int SendRequestAlong(SocketHandle socket, const ExchangeContext& context,
                                   const std::vector<DatagramRoute>& routes);
