// Fuzzes ParseReply: the first input byte picks the operation, the rest is the datagram,
// filed twice (the second time as a repeat). The table never grows past its capacity.
#include <cstdlib>
#include <memory>

#include "protocol/exchange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const uint8_t OPERATIONS[] = {OP_SEARCH, OP_SEARCH_DIRECTED, OP_SET};
  // One context for the whole run: ParseReply reads no entry past resultCount, so resetting
  // the counters and records is a fresh start (zeroing ~360 KB per input would dominate).
  static const std::unique_ptr<ExchangeContext> context = std::make_unique<ExchangeContext>();
  context->resultCount = 0;
  context->reply = ExchangeRecord{};
  context->request = ExchangeRecord{};
  context->operation = OPERATIONS[data[0] % 3];
  context->requestFlags = context->operation == OP_SEARCH_DIRECTED ? FLAG_DIRECTED : 0;
  context->capacity = MAX_PRINTERS;
  context->request.header.mac[5] = 1;
  context->request.info.replyAddress = 0x0200A8C0;
  const long length = static_cast<long>(size - 1);
  for (int round = 0; round < 2; ++round) {
    ParseReply(context.get(), 0x0200A8C0, data + 1, length);
    if (context->resultCount < 0 || context->resultCount > context->capacity) std::abort();
  }
  return 0;
}
