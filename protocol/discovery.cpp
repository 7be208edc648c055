#include "protocol/discovery.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <memory>

namespace {

bool IsSearchMode(int mode) {
  return mode == SEARCH_MODE_BROADCAST || mode == SEARCH_MODE_DIRECTED;
}

// The exchange of both entry points: the request along every route, then every reply filed
// until SEARCH_QUIET_MS pass without one. `arrivals`[i] receives the interface that entry
// i's reply came in on, when `reportArrival` asks the socket for it (0 otherwise). Returns
// 1 with the context's table filed, or -1 with *error set.
int RunSearch(int mode, const std::vector<DatagramRoute>& routes, bool reportArrival,
              ExchangeContext* context, uint32_t arrivals[MAX_PRINTERS], int* error) {
  const SocketHandle socket = OpenConfigSocket(error);
  if (socket == INVALID_SOCKET_HANDLE) return -1;

  context->capacity = MAX_PRINTERS;
  context->operation = OP_SEARCH;
  if (mode == SEARCH_MODE_DIRECTED) {
    context->operation = OP_SEARCH_DIRECTED;
    context->requestFlags = FLAG_DIRECTED;
  }
  BuildSearchRequest(context);

  int failure = 0;
  if (reportArrival && !EnableArrivalInterface(socket)) failure = LastSocketError();
  if (failure == 0) failure = SendRequestAlong(socket, *context, routes);
  if (failure != 0) {
    *error = failure;
    CloseSocket(socket);
    SocketCleanup();
    return -1;
  }

  uint8_t datagram[RECEIVE_BUFFER_SIZE];
  while (WaitReadable(socket, SEARCH_QUIET_MS) == 1) {
    uint32_t source = 0;
    uint32_t arrival = 0;
    const long received = ReceiveDatagramOn(socket, datagram, sizeof datagram, &source, &arrival);
    const int filed = context->resultCount;
    ParseReply(context, source, datagram, received);
    if (context->resultCount > filed) arrivals[filed] = arrival;
    // A datagram too long for the buffer is dropped like any other that is not a reply.
    if (received == RECEIVE_FAILED) break;
  }
  *error = 0;
  CloseSocket(socket);
  SocketCleanup();
  return 1;
}

}  // namespace

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
  if (!IsSearchMode(mode)) {
    *error = EINVAL;
    return -1;
  }
  auto context = std::make_unique<ExchangeContext>();
  uint32_t arrivals[MAX_PRINTERS] = {};
  const uint32_t destination = mode == SEARCH_MODE_DIRECTED ? address : LIMITED_BROADCAST_ADDRESS;
  if (RunSearch(mode, {{destination, {}}}, false, context.get(), arrivals, error) != 1) return -1;
  for (int i = 0; i < MAX_PRINTERS; ++i) table[i] = context->results[i].info;
  *count = context->resultCount;
  return 1;
}

int SearchPrintersAlong(int mode, const std::vector<DatagramRoute>& routes,
                        std::vector<FoundRecord>* found, int* error) {
  if (!IsSearchMode(mode) || routes.empty()) {
    *error = EINVAL;
    return -1;
  }
  auto context = std::make_unique<ExchangeContext>();
  uint32_t arrivals[MAX_PRINTERS] = {};
  if (RunSearch(mode, routes, true, context.get(), arrivals, error) != 1) return -1;
  found->clear();
  for (int i = 0; i < context->resultCount; ++i) {
    found->push_back({context->results[i].info, arrivals[i]});
  }
  return 1;
}
