// Request building and the filing of received datagrams, for each operation, without a
// network: datagrams are built here the way printers send them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "protocol/config_crc16.h"
#include "protocol/discovery.h"
#include "protocol/payload_cipher.h"
#include "protocol/settings_write.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t SOURCE_A = 0x0A6433C6;  // 198.51.100.10 in network order
constexpr uint32_t SOURCE_B = 0x0B6433C6;  // 198.51.100.11

struct ReplyOptions {
  uint8_t flags = FLAG_REPLY;
  uint8_t status = 0;
  bool headerOnly = false;
  bool badCheckWord = false;
  uint8_t ipLastOctet = 10;
};

// A printer's reply: header with `macLast` as the last MAC byte, then its enciphered
// elements (model, IP address, channel 0 port).
Bytes Reply(uint8_t macLast, const ReplyOptions& options = {}) {
  Bytes payload(64);
  size_t length = 0;
  const uint8_t model[2] = {MODEL_BLOCK38, 0};
  length += EncodeElement(payload.data() + length, ELEM_MODEL, 0, model, 2);
  const uint8_t ip[4] = {198, 51, 100, options.ipLastOctet};
  length += EncodeElement(payload.data() + length, ELEM_ADDRESS, 0, ip, 4);
  payload.resize(length);
  if (options.badCheckWord) payload.back() ^= 0xFF;

  ConfigHeader header{};
  std::memcpy(header.magic, CONFIG_MAGIC, 4);
  header.flags = options.flags;
  header.operation = OP_SEARCH;
  header.status = options.status;
  const uint8_t mac[MAC_SIZE] = {0x02, 0, 0, 0, 0, macLast};
  std::memcpy(header.mac, mac, MAC_SIZE);
  Bytes datagram(CONFIG_HEADER_SIZE);
  if (!options.headerOnly) {
    header.checkWord = ConfigCrc16(payload.data(), payload.size());
    CryptPayload(header.checkWord, payload.data(), payload.data(), payload.size());
    datagram.insert(datagram.end(), payload.begin(), payload.end());
  }
  EncodeConfigHeader(header, datagram.data());
  return datagram;
}

std::unique_ptr<ExchangeContext> Context(uint8_t operation, uint8_t requestFlags = 0) {
  auto context = std::make_unique<ExchangeContext>();
  context->operation = operation;
  context->requestFlags = requestFlags;
  context->capacity = MAX_PRINTERS;
  return context;
}

void Receive(ExchangeContext* context, uint32_t source, const Bytes& datagram) {
  ParseReply(context, source, datagram.data(), static_cast<long>(datagram.size()));
}

TEST(BuildSearchRequest, WritesTheBroadcastAndDirectedRequests) {
  struct Row {
    const char* name;
    uint8_t operation, flags;
    Bytes expected;
  } rows[] = {
      {"broadcast", OP_SEARCH, 0, {0x2A, 0x76, 0x4E, 0x01, 0x10, 0x01, 0x01, 0x00}},
      {"directed",
       OP_SEARCH_DIRECTED,
       FLAG_DIRECTED,
       {0x2A, 0x76, 0x4E, 0x01, 0x10, 0x03, 0x02, 0x00}},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto context = Context(row.operation, row.flags);
    BuildSearchRequest(context.get());
    row.expected.resize(32, 0);
    ASSERT_EQ(32u, context->requestLength);
    EXPECT_EQ(row.expected, Bytes(context->sendBuffer, context->sendBuffer + 32));
  }
}

TEST(BuildSetRequest, EnciphersTheRecordUnderItsCheckWord) {
  auto context = Context(OP_SET, FLAG_DIRECTED);
  PrinterInfo& record = context->request.info;
  const uint8_t mac[MAC_SIZE] = {0x02, 0, 0, 0, 0, 0x01};
  std::memcpy(record.mac, mac, MAC_SIZE);
  record.modelCode = 19;
  record.hasBlock38 = 1;
  record.ipAddress = SOURCE_A;
  SetPrintPort(&record, 9100);
  record.channels[0].present = record.channelSettings[0].present = 1;
  BuildSetRequest(context.get());

  const uint8_t* wire = context->sendBuffer;
  const Bytes start(wire, wire + 8);
  EXPECT_EQ((Bytes{0x2A, 0x76, 0x4E, 0x01, 0x10, 0x03, 0x03, 0x00}), start);
  EXPECT_EQ(0, std::memcmp(mac, wire + 10, MAC_SIZE));
  EXPECT_EQ(Bytes(16, 0), Bytes(wire + 16, wire + 32));

  Bytes expected(MAX_RECORD_ENCODING);
  expected.resize(EncodeRecord(record, expected.data()));
  ASSERT_EQ(32 + expected.size(), context->requestLength);
  const uint16_t checkWord = static_cast<uint16_t>(wire[8] | (wire[9] << 8));
  EXPECT_EQ(ConfigCrc16(expected.data(), expected.size()), checkWord);
  Bytes plain(wire + 32, wire + context->requestLength);
  CryptPayload(checkWord, plain.data(), plain.data(), plain.size());
  EXPECT_EQ(expected, plain);
}

TEST(ParseReply, SearchFilesTheFirstReplyOfEachPrinter) {
  auto context = Context(OP_SEARCH);
  ReplyOptions second;
  second.ipLastOctet = 99;
  Receive(context.get(), SOURCE_A, Reply(1));
  Receive(context.get(), SOURCE_B, Reply(1, second));  // same MAC, other source: dropped
  Receive(context.get(), SOURCE_A, Reply(2));
  ASSERT_EQ(2, context->resultCount);
  const PrinterInfo& first = context->results[0].info;
  EXPECT_EQ(1, first.mac[5]);
  EXPECT_EQ(SOURCE_A, first.replyAddress);
  EXPECT_EQ(SOURCE_A, first.ipAddress);
  EXPECT_EQ(MODEL_BLOCK38, first.modelCode);
  EXPECT_EQ(2, context->results[1].info.mac[5]);
}

TEST(ParseReply, DirectedSearchFilesOneReplyPerSource) {
  auto context = Context(OP_SEARCH_DIRECTED, FLAG_DIRECTED);
  ReplyOptions directed;
  directed.flags = FLAG_REPLY | FLAG_DIRECTED;
  Receive(context.get(), SOURCE_A, Reply(1));  // lacks FLAG_DIRECTED: dropped
  Receive(context.get(), SOURCE_A, Reply(1, directed));
  Receive(context.get(), SOURCE_A, Reply(2, directed));  // same source: dropped
  Receive(context.get(), SOURCE_B, Reply(1, directed));  // same MAC, new source: filed
  ASSERT_EQ(2, context->resultCount);
  EXPECT_EQ(SOURCE_A, context->results[0].info.replyAddress);
  EXPECT_EQ(SOURCE_B, context->results[1].info.replyAddress);
  EXPECT_EQ(1, context->results[1].info.mac[5]);
}

TEST(ParseReply, DropsWhatIsNotAWholeReply) {
  ReplyOptions badCheckWord;
  badCheckWord.badCheckWord = true;
  const Bytes whole = Reply(1);
  Bytes wrongMagic = whole;
  wrongMagic[3] = 0x02;
  auto request = Context(OP_SEARCH);
  BuildSearchRequest(request.get());
  const Bytes ownRequest(request->sendBuffer, request->sendBuffer + request->requestLength);
  struct Row {
    const char* name;
    Bytes datagram;
  } rows[] = {
      {"31 bytes", Bytes(whole.begin(), whole.begin() + 31)},
      {"wrong magic", wrongMagic},
      {"own request looped back", ownRequest},
      {"bad element check word", Reply(1, badCheckWord)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto context = Context(OP_SEARCH);
    Receive(context.get(), SOURCE_A, row.datagram);
    EXPECT_EQ(0, context->resultCount);
  }
  auto context = Context(OP_SEARCH);
  ParseReply(context.get(), SOURCE_A, nullptr, -1);  // a failed receive
  EXPECT_EQ(0, context->resultCount);
  Bytes oversized = whole;
  oversized.resize(RECEIVE_BUFFER_SIZE + 1);  // longer than any receive delivers
  Receive(context.get(), SOURCE_A, oversized);
  EXPECT_EQ(0, context->resultCount);
}

TEST(ParseReply, HeaderOnlyReplyIsFiledWithMacAndSourceOnly) {
  auto context = Context(OP_SEARCH);
  ReplyOptions headerOnly;
  headerOnly.headerOnly = true;
  Receive(context.get(), SOURCE_B, Reply(7, headerOnly));
  ASSERT_EQ(1, context->resultCount);
  const PrinterInfo& info = context->results[0].info;
  EXPECT_EQ(7, info.mac[5]);
  EXPECT_EQ(SOURCE_B, info.replyAddress);
  EXPECT_EQ(0u, info.ipAddress);
  EXPECT_EQ(0, info.modelCode);
}

TEST(ParseReply, StopsFilingAtCapacity) {
  auto context = Context(OP_SEARCH);
  for (int i = 0; i < 300; ++i) {
    Bytes reply = Reply(static_cast<uint8_t>(i));
    reply[14] = static_cast<uint8_t>(i >> 8);  // MAC byte 4: 300 distinct printers
    Receive(context.get(), SOURCE_A, reply);
  }
  EXPECT_EQ(MAX_PRINTERS, context->resultCount);
  EXPECT_EQ(255, context->results[255].info.mac[5]);
}

TEST(ParseReply, WriteAcceptsOnlyTheTargetOrItsAddress) {
  auto context = Context(OP_SET);
  context->request.header.mac[0] = 0x02;
  context->request.header.mac[5] = 1;
  context->request.info.replyAddress = SOURCE_A;

  Receive(context.get(), SOURCE_B, Reply(2));  // a stranger
  EXPECT_EQ(0, context->resultCount);
  EXPECT_EQ(0, context->reply.info.mac[0]);

  ReplyOptions directed;
  directed.flags = FLAG_REPLY | FLAG_DIRECTED;
  Receive(context.get(), SOURCE_B, Reply(3, directed));  // directed, but not from the target
  EXPECT_EQ(0, context->resultCount);

  Receive(context.get(), SOURCE_A, Reply(4, directed));  // from the target's address
  ASSERT_EQ(1, context->resultCount);
  EXPECT_EQ(4, context->results[0].info.mac[5]);

  ReplyOptions mismatch;
  mismatch.status = STATUS_PASSWORD_MISMATCH;
  Receive(context.get(), SOURCE_B, Reply(1, mismatch));  // the target's MAC: accepted
  ASSERT_EQ(1, context->resultCount);  // matched no entry by MAC: the table is cut back to it
  EXPECT_EQ(1, context->results[0].info.mac[5]);
  EXPECT_EQ(STATUS_PASSWORD_MISMATCH, context->reply.header.status);
}

TEST(ParseReply, WriteReplacesTheEntryItUpdates) {
  auto context = Context(OP_SET);
  context->request.header.mac[0] = 0x02;
  context->request.header.mac[5] = 1;
  ReplyOptions changed;
  changed.ipLastOctet = 77;
  Receive(context.get(), SOURCE_A, Reply(1));
  Receive(context.get(), SOURCE_A, Reply(1, changed));
  ASSERT_EQ(1, context->resultCount);
  const uint8_t ip[4] = {198, 51, 100, 77};
  EXPECT_EQ(0, std::memcmp(ip, &context->results[0].info.ipAddress, 4));
}

}  // namespace
