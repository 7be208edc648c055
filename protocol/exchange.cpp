#include "protocol/exchange.h"

#include <cstring>

#include "common/clock.h"
#include "protocol/payload_cipher.h"

namespace {

bool SameMac(const uint8_t* a, const uint8_t* b) { return std::memcmp(a, b, MAC_SIZE) == 0; }

// The operation's test of whether a reply concerns this exchange at all.
bool ConcernsExchange(const ExchangeContext& context, uint32_t sourceAddress) {
  const ConfigHeader& reply = context.reply.header;
  switch (context.operation) {
    case OP_SEARCH:
      return true;
    case OP_SEARCH_DIRECTED:
      return (reply.flags & FLAG_DIRECTED) != 0;
    default:
      return SameMac(reply.mac, context.request.header.mac) ||
             ((reply.flags & FLAG_DIRECTED) != 0 &&
              sourceAddress == context.request.info.replyAddress);
  }
}

// A search files each printer once: by hardware address, or by source in a directed search.
bool AlreadyFiled(const ExchangeContext& context, uint32_t sourceAddress) {
  for (int i = 0; i < context.resultCount; ++i) {
    const ExchangeRecord& filed = context.results[i];
    if (context.operation == OP_SEARCH ? SameMac(filed.info.mac, context.reply.header.mac)
                                       : filed.info.replyAddress == sourceAddress) {
      return true;
    }
  }
  return false;
}

// Deciphers and decodes the payload into the reply record; false drops the datagram.
bool DecodeReply(ExchangeContext* context, uint32_t sourceAddress, const uint8_t* datagram,
                 size_t length) {
  const size_t payloadLength = length - CONFIG_HEADER_SIZE;
  if (payloadLength > 0) {
    uint8_t plain[RECEIVE_BUFFER_SIZE];
    CryptPayload(context->reply.header.checkWord, datagram + CONFIG_HEADER_SIZE, plain,
                 payloadLength);
    if (!DecodeElements(plain, payloadLength, &context->reply.info)) {
      context->reply.info = PrinterInfo{};  // a dropped datagram leaves no fields behind
      return false;
    }
  }
  std::memcpy(context->reply.info.mac, context->reply.header.mac, MAC_SIZE);
  context->reply.info.replyAddress = sourceAddress;
  return true;
}

// A settings write keeps the answer as entry 0, or in place of the entry it updates.
void FileWriteReply(ExchangeContext* context) {
  const ExchangeRecord& reply = context->reply;
  const bool directed = (reply.header.flags & FLAG_DIRECTED) != 0;
  for (int i = 0; i < context->resultCount; ++i) {
    const PrinterInfo& filed = context->results[i].info;
    if (directed ? filed.ipAddress == reply.info.ipAddress : SameMac(filed.mac, reply.info.mac)) {
      context->results[i] = reply;
      return;
    }
  }
  context->results[0] = reply;
  context->resultCount = 1;
}

}  // namespace

SocketHandle OpenConfigSocket(int* error) {
  if (!SocketStartup(1, 1, error)) return INVALID_SOCKET_HANDLE;
  const SocketHandle socket = CreateUdpSocket();
  if (socket == INVALID_SOCKET_HANDLE) {
    *error = LastSocketError();
    SocketCleanup();
    return INVALID_SOCKET_HANDLE;
  }
  if (!EnableBroadcast(socket) || !BindAnyAddress(socket, CONFIG_PORT)) {
    *error = LastSocketError();
    CloseSocket(socket);
    SocketCleanup();
    return INVALID_SOCKET_HANDLE;
  }
  *error = 0;
  return socket;
}

void ParseReply(ExchangeContext* context, uint32_t sourceAddress, const uint8_t* datagram,
                long length) {
  context->reply = ExchangeRecord{};
  // A receive never delivers more than its buffer holds; anything longer is not a reply.
  if (length < static_cast<long>(CONFIG_HEADER_SIZE) ||
      length > static_cast<long>(RECEIVE_BUFFER_SIZE)) {
    return;
  }
  context->reply.header = DecodeConfigHeader(datagram);
  const ConfigHeader& header = context->reply.header;
  if (context->resultCount >= context->capacity ||
      std::memcmp(header.magic, CONFIG_MAGIC, sizeof CONFIG_MAGIC) != 0 ||
      (header.flags & FLAG_REPLY) == 0 || !ConcernsExchange(*context, sourceAddress)) {
    return;
  }
  const bool search = context->operation == OP_SEARCH || context->operation == OP_SEARCH_DIRECTED;
  // Duplicates are recognised from the header and source alone, before any deciphering.
  if (search && AlreadyFiled(*context, sourceAddress)) return;
  if (!DecodeReply(context, sourceAddress, datagram, static_cast<size_t>(length))) return;
  if (search) {
    context->results[context->resultCount++] = context->reply;
  } else {
    FileWriteReply(context);
  }
}

int SendRequestAlong(SocketHandle socket, const ExchangeContext& context,
                     const std::vector<DatagramRoute>& routes) {
  // Twice, so that one lost datagram costs nothing; only the second round's results count.
  for (const DatagramRoute& route : routes) {
    (void)SendDatagramAlong(socket, context.sendBuffer, context.requestLength, route, CONFIG_PORT);
  }
  SleepMilliseconds(10);
  for (const DatagramRoute& route : routes) {
    if (SendDatagramAlong(socket, context.sendBuffer, context.requestLength, route, CONFIG_PORT) <
        0) {
      return LastSocketError();
    }
  }
  return 0;
}
