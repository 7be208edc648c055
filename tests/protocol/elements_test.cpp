// Element format: padding, element encodings, decoding rules and the encode order of a
// settings write.
#include "protocol/elements.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/debug_trace.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Element(uint8_t type, uint8_t index, const Bytes& data) {
  Bytes out(data.size() + 9);
  out.resize(EncodeElement(out.data(), type, index, data.data(), data.size()));
  return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// The (type, index) pairs of an element list, in order.
std::vector<std::pair<int, int>> ElementOrder(const uint8_t* list, size_t length) {
  std::vector<std::pair<int, int>> order;
  for (size_t at = 0; at + 4 <= length;) {
    order.emplace_back(list[at], list[at + 1]);
    at += static_cast<size_t>(list[at + 2] | (list[at + 3] << 8));
  }
  return order;
}

Bytes Encoded(const PrinterInfo& record) {
  Bytes out(MAX_RECORD_ENCODING);
  out.resize(EncodeRecord(record, out.data()));
  return out;
}

// A record as a model-16 or model-19 printer describes itself.
PrinterInfo DecodedRecord(uint16_t model) {
  PrinterInfo record{};
  const Bytes payload = Concat({Element(ELEM_MODEL, 0, {static_cast<uint8_t>(model), 0}),
                                Element(ELEM_CHANNEL, 0, Bytes(12, 0x11)),
                                Element(ELEM_CHANNEL_SETTINGS, 0, Bytes(20, 0x22)),
                                Element(ELEM_CHANNEL, 1, Bytes(12, 0x33))});
  EXPECT_TRUE(DecodeElements(payload.data(), payload.size(), &record));
  return record;
}

TEST(ElementPadding, KeepsEveryElementAMultipleOfFour) {
  const size_t expected[] = {2, 1, 0, 3, 2, 1, 0, 3};
  for (size_t n = 0; n < 8; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(expected[n], ElementPadding(n));
    EXPECT_EQ(0u, Element(1, 0, Bytes(n, 0xAA)).size() % 4);
  }
  EXPECT_EQ(8u, Element(ELEM_WORD5, 0, {}).size());
}

TEST(EncodeElement, WritesTheKnownEncodings) {
  struct Row {
    const char* name;
    Bytes encoded;
    Bytes expected;
  } rows[] = {
      {"model 16",
       Element(ELEM_MODEL, 0, {0x10, 0x00}),
       {0x02, 0x00, 0x08, 0x00, 0x10, 0x00, 0xCE, 0x3C}},
      {"mask 255.255.255.0 at index 1",
       Element(ELEM_ADDRESS, 1, {0xFF, 0xFF, 0xFF, 0x00}),
       {0x03, 0x01, 0x0C, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x11, 0x8A}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.expected, row.encoded);
  }
}

TEST(DecodeElements, EmptyPayloadSucceedsAndLeavesTheRecordZero) {
  PrinterInfo record{};
  EXPECT_TRUE(DecodeElements(nullptr, 0, &record));
  EXPECT_EQ(Encoded(PrinterInfo{}), Encoded(record));
}

TEST(DecodeElements, FilesEachElementWhereItBelongs) {
  const Bytes payload = Concat({
      Element(ELEM_IDENTITY, 7, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
      Element(ELEM_ADDRESS, 0, {198, 51, 100, 10}), Element(ELEM_ADDRESS, 2, {198, 51, 100, 1}),
      Element(ELEM_ADDRESS, 4, {9, 9, 9, 9}),  // out of range: ignored
      Element(ELEM_PASSWORD, 1, Bytes(10, 'p')),
      Element(ELEM_PASSWORD, 2, Bytes(10, 'x')),  // out of range: ignored
      Element(ELEM_CHANNEL_SETTINGS, 3, Bytes(20, 0x44)),
      Element(ELEM_CHANNEL_TEXT, 1, {'o', 'n', 'e'}),  // shorter than 64: zero-extended
      Element(ELEM_CHANNEL_TEXT, 2, {'e', 'x'}),       // index 2 is the expression text
      Element(ELEM_CHANNEL_TEXT, 3, {'z'}),            // index 3: ignored
      Element(ELEM_BYTES34, 0, {1, 2, 3, 4, 5, 6, 7, 8}), Element(ELEM_EXPRESSION, 7, {'i', '7'}),
      Element(ELEM_EXPRESSION, 8, {'i', '0'}),                       // out of range: ignored
      Element(ELEM_BLOB, 0, Bytes(900, 0xEE)),                       // stepped over
      Element(4, 0, {1}), Element(0, 0, {1}), Element(200, 0, {1}),  // unknown: skipped
  });
  PrinterInfo record{};
  ASSERT_TRUE(DecodeElements(payload.data(), payload.size(), &record));

  const uint8_t mac[6] = {1, 2, 3, 4, 5, 6};
  const uint8_t tail[6] = {7, 8, 9, 10, 11, 12};
  EXPECT_EQ(0, std::memcmp(mac, record.mac, 6));
  EXPECT_EQ(0, std::memcmp(tail, record.identityTail, 6));
  const uint8_t ip[4] = {198, 51, 100, 10};
  const uint8_t gateway[4] = {198, 51, 100, 1};
  EXPECT_EQ(0, std::memcmp(ip, &record.ipAddress, 4));
  EXPECT_EQ(0, std::memcmp(gateway, &record.gateway, 4));
  EXPECT_EQ(0u, record.subnetMask);
  EXPECT_EQ(0u, record.extraAddress);
  EXPECT_EQ(Bytes(10, 'p'), Bytes(record.password2, record.password2 + 10));
  EXPECT_EQ(Bytes(10, 0), Bytes(record.password, record.password + 10));
  EXPECT_EQ(1u, record.channelSettings[3].present);
  EXPECT_EQ(0x44, record.channelSettings[3].settings[19]);
  EXPECT_EQ(0u, record.channels[3].present);
  EXPECT_STREQ("one", reinterpret_cast<const char*>(record.channelSettings[1].text));
  EXPECT_STREQ("ex", reinterpret_cast<const char*>(record.expressionText));
  EXPECT_EQ(0, record.channelSettings[2].text[0]);
  EXPECT_EQ(0, record.channelSettings[3].text[0]);
  EXPECT_EQ((Bytes{1, 2, 3, 4, 0, 0, 0, 0}), Bytes(record.bytes34, record.bytes34 + 8));
  EXPECT_STREQ("i7", reinterpret_cast<const char*>(record.expressions[7]));
  EXPECT_EQ(0, record.expressions[0][0]);
}

TEST(DecodeElements, ModelCodeSetsTheModelFlags) {
  struct Row {
    const char* name;
    uint16_t model;
    uint32_t hasBlock38Before;
    uint8_t auxCount, expressionCount;
    uint32_t hasExpressionBlock, hasBlock38;
  } rows[] = {
      {"16 sends expressions and keeps block 38", 16, 1, 8, 8, 1, 1},
      {"19 sends block 38 only", 19, 0, 0, 0, 0, 1},
      {"other models send neither", 7, 1, 0, 0, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PrinterInfo record{};
    record.hasExpressionBlock = 1;
    record.hasBlock38 = row.hasBlock38Before;
    const Bytes payload = Element(ELEM_MODEL, 0, {static_cast<uint8_t>(row.model), 0});
    ASSERT_TRUE(DecodeElements(payload.data(), payload.size(), &record));
    EXPECT_EQ(row.model, record.modelCode);
    EXPECT_EQ(row.auxCount, record.auxCount);
    EXPECT_EQ(row.expressionCount, record.expressionCount);
    EXPECT_EQ(row.hasExpressionBlock, record.hasExpressionBlock);
    EXPECT_EQ(row.hasBlock38, record.hasBlock38);
  }
}

TEST(DecodeElements, BadCheckWordRejectsThePayloadAfterStoringWhatCameBefore) {
  Bytes bad = Element(ELEM_ADDRESS, 1, {255, 255, 255, 0});
  bad.back() ^= 0x01;
  const Bytes payload = Concat({Element(ELEM_ADDRESS, 0, {198, 51, 100, 10}), bad,
                                Element(ELEM_ADDRESS, 2, {198, 51, 100, 1})});
  std::string trace;
  SetDebugTraceCapture(&trace);
  PrinterInfo record{};
  EXPECT_FALSE(DecodeElements(payload.data(), payload.size(), &record));
  SetDebugTraceCapture(nullptr);

  EXPECT_EQ("CRC fail...\n", trace);
  const uint8_t ip[4] = {198, 51, 100, 10};
  EXPECT_EQ(0, std::memcmp(ip, &record.ipAddress, 4));
  EXPECT_EQ(0u, record.subnetMask);
  EXPECT_EQ(0u, record.gateway);
}

TEST(DecodeElements, RejectsMalformedLengthsWithoutReadingPastThePayload) {
  const Bytes good = Element(ELEM_WORD5, 0, {1, 2, 3, 4});
  Bytes tooShort = good;
  tooShort[2] = 5;  // below the 6 bytes of type, index, length and check word
  Bytes pastEnd = good;
  pastEnd[2] = static_cast<uint8_t>(good.size() + 4);
  Bytes oversized(ELEMENT_DECODE_BUFFER + 8 + ELEMENT_OVERHEAD);
  oversized.resize(EncodeElement(oversized.data(), ELEM_BLOB, 0,
                                 Bytes(ELEMENT_DECODE_BUFFER + 2).data(),
                                 ELEMENT_DECODE_BUFFER + 2));
  Bytes exactlyFull(ELEMENT_DECODE_BUFFER + ELEMENT_OVERHEAD + 3);
  exactlyFull.resize(EncodeElement(exactlyFull.data(), ELEM_BLOB, 0,
                                   Bytes(ELEMENT_DECODE_BUFFER - 2).data(),
                                   ELEMENT_DECODE_BUFFER - 2));
  struct Row {
    const char* name;
    Bytes payload;
    bool accepted;
  } rows[] = {
      {"length field below 6", Concat({good, tooShort}), false},
      {"element runs past the payload", Concat({good, pastEnd}), false},
      {"trailing bytes too few for a header", Concat({good, Bytes{ELEM_WORD5, 0, 8}}), false},
      {"data larger than the decode buffer", oversized, false},
      {"data exactly filling the decode buffer", exactlyFull, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PrinterInfo record{};
    // Copy into an exact-size heap block so a read past its end is caught by the sanitizer.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[row.payload.size()]);
    std::memcpy(exact.get(), row.payload.data(), row.payload.size());
    EXPECT_EQ(row.accepted, DecodeElements(exact.get(), row.payload.size(), &record));
  }
}

TEST(EncodeRecord, WritesTheSettingsWriteOrderForEachModel) {
  using Order = std::vector<std::pair<int, int>>;
  const Order common = {{16, 0}, {32, 0}, {35, 0}, {16, 1}, {5, 0}, {7, 0},
                        {33, 0}, {34, 0}, {8, 0},  {6, 0},  {6, 1}};
  const Order addresses = {{2, 0}, {3, 0}, {3, 1}, {3, 2}, {3, 3}};
  Order model16 = addresses;
  model16.insert(model16.end(), common.begin(), common.end());
  for (int i = 0; i < 8; ++i) model16.emplace_back(36, i);
  model16.insert(model16.end(), {{37, 0}, {35, 2}});
  Order model19 = addresses;
  model19.insert(model19.end(), common.begin(), common.end());
  model19.emplace_back(38, 0);

  struct Row {
    const char* name;
    uint16_t model;
    Order expected;
  } rows[] = {{"model 16", 16, model16}, {"model 19", 19, model19}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    uint8_t out[MAX_RECORD_ENCODING];
    const size_t length = EncodeRecord(DecodedRecord(row.model), out);
    EXPECT_EQ(row.expected, ElementOrder(out, length));
  }
}

TEST(EncodeRecord, SendsAllEightBytesOfBytes34) {
  PrinterInfo record{};
  const Bytes received = Element(ELEM_BYTES34, 0, {1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_TRUE(DecodeElements(received.data(), received.size(), &record));
  record.bytes34[7] = 0x77;  // the half a reply never fills still travels
  uint8_t out[MAX_RECORD_ENCODING];
  const size_t length = EncodeRecord(record, out);
  const Bytes sent = Element(ELEM_BYTES34, 0, {1, 2, 3, 4, 0, 0, 0, 0x77});
  EXPECT_NE(std::search(out, out + length, sent.begin(), sent.end()), out + length);
}

TEST(EncodeRecord, FullestRecordsFitTheBuffer) {
  PrinterInfo decoded = DecodedRecord(16);
  for (int i = 0; i < CHANNEL_COUNT; ++i) {
    decoded.channels[i].present = 1;
    decoded.channelSettings[i].present = 1;
  }
  uint8_t out[MAX_RECORD_ENCODING];
  EXPECT_EQ(1448u, EncodeRecord(decoded, out));

  PrinterInfo handMade = decoded;  // both blocks and an impossible expression count
  handMade.hasBlock38 = 1;
  handMade.expressionCount = 200;
  EXPECT_EQ(MAX_RECORD_ENCODING, EncodeRecord(handMade, out));
}

TEST(EncodeRecord, DecodesBackToTheSameRecord) {
  PrinterInfo original = DecodedRecord(16);
  const uint8_t ip[4] = {198, 51, 100, 10};
  std::memcpy(&original.ipAddress, ip, 4);
  original.subnetMask = 0x00FFFFFF;
  std::memset(original.password, 'p', PASSWORD_SIZE);
  std::memset(original.text7, 't', sizeof original.text7);
  std::memset(original.block8Words, 0x5A, sizeof original.block8Words);
  std::memset(original.expressions[3], 'i', 1);
  std::memset(original.exprControl, 0x0C, sizeof original.exprControl);
  std::memset(original.expressionText, 'e', 10);
  std::memset(original.channelSettings[0].text, 'c', 64);

  const Bytes sent = Encoded(original);
  PrinterInfo decoded{};
  ASSERT_TRUE(DecodeElements(sent.data(), sent.size(), &decoded));
  EXPECT_EQ(sent, Encoded(decoded));
  EXPECT_EQ(original.subnetMask, decoded.subnetMask);
  EXPECT_EQ(0x5A, decoded.block8Words[15]);
}

}  // namespace
