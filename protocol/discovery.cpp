#include "protocol/discovery.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <memory>

void BuildSearchRequest(ExchangeContext* context) {
  ConfigHeader& header = context->request.header;
  header = ConfigHeader{};
  std::copy(std::begin(CONFIG_MAGIC), std::end(CONFIG_MAGIC), header.magic);
  header.headerCode = HEADER_CODE;
  header.flags = static_cast<uint8_t>(context->requestFlags | FLAG_REQUEST);
  header.operation = context->operation;
  EncodeConfigHeader(header, context->sendBuffer);
  context->requestLength = CONFIG_HEADER_SIZE;
}

int SearchPrinters(int mode, uint32_t address, PrinterInfo table[MAX_PRINTERS], int* count,
                   int* error) {
  if (mode != SEARCH_MODE_BROADCAST && mode != SEARCH_MODE_DIRECTED) {
    *error = EINVAL;
    return -1;
  }
  const SocketHandle socket = OpenConfigSocket(error);
  if (socket == INVALID_SOCKET_HANDLE) return -1;

  auto context = std::make_unique<ExchangeContext>();
  context->capacity = MAX_PRINTERS;
  context->operation = OP_SEARCH;
  uint32_t destination = LIMITED_BROADCAST_ADDRESS;
  if (mode == SEARCH_MODE_DIRECTED) {
    destination = address;
    context->operation = OP_SEARCH_DIRECTED;
    context->requestFlags = FLAG_DIRECTED;
  }
  BuildSearchRequest(context.get());

  const int sendError = SendRequestTwice(socket, *context, destination);
  if (sendError != 0) {
    *error = sendError;
    CloseSocket(socket);
    SocketCleanup();
    return -1;
  }

  uint8_t datagram[RECEIVE_BUFFER_SIZE];
  while (WaitReadable(socket, SEARCH_QUIET_MS) == 1) {
    uint32_t source = 0;
    const long received = ReceiveDatagram(socket, datagram, sizeof datagram, &source, nullptr);
    ParseReply(context.get(), source, datagram, received);
    // A datagram too long for the buffer is dropped like any other that is not a reply.
    if (received == RECEIVE_FAILED) break;
  }

  for (int i = 0; i < MAX_PRINTERS; ++i) table[i] = context->results[i].info;
  *count = context->resultCount;
  *error = 0;
  CloseSocket(socket);
  SocketCleanup();
  return 1;
}
