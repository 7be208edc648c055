// The text protocol's message: layout, field encodings, check digits and decoding.
#include "operations/text_message.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "common/checksum32.h"

namespace {

TextSettings Settings() {
  return TextSettings{"001a2b3c4d5e", 0xC0A80164, 0xFFFFFF00, 0xC0A80101, 9100, true};
}

const uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const uint8_t*>(text.data());
}

TEST(TextMessage, SetRequestCarriesItsFieldsAtTheirPositions) {
  const std::string set = BuildTextSet(Settings(), 1234);
  ASSERT_EQ(TEXT_MESSAGE_SIZE, set.size());
  EXPECT_EQ("10", set.substr(8, 2));
  EXPECT_EQ("001a2b3c4d5e", set.substr(10, 12));  // sent as the row shows them
  EXPECT_EQ("C0A80164", set.substr(22, 8));
  EXPECT_EQ("FFFFFF00", set.substr(30, 8));
  EXPECT_EQ("C0A80101", set.substr(38, 8));
  EXPECT_EQ("238C", set.substr(46, 4));  // 9100, most significant first
  EXPECT_EQ('1', set[50]);
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08x", Checksum32(Bytes(set) + 8, 120));
  EXPECT_EQ(std::string(digits), set.substr(0, 8));
  for (size_t i = 51; i < set.size(); ++i) {
    ASSERT_GE(set[i], 32);
    ASSERT_LE(set[i], 127);
  }
  EXPECT_TRUE(IsValidTextRequest(Bytes(set), set.size()));
  EXPECT_FALSE(IsValidTextReply(Bytes(set), set.size()));  // lower-case digits
}

TEST(TextMessage, RequestsDifferOnlyInFillerAndCheckDigits) {
  const std::string first = BuildTextSearchMac("44A8C2000001", 1);
  const std::string second = BuildTextSearchMac("44A8C2000001", 2);
  EXPECT_EQ("01", first.substr(8, 2));
  EXPECT_EQ(first.substr(8, 14), second.substr(8, 14));
  EXPECT_NE(first.substr(0, 8), second.substr(0, 8));
  EXPECT_NE(first.substr(22), second.substr(22));
  EXPECT_EQ("00", BuildTextSearch(7).substr(8, 2));
}

TEST(TextMessage, AcceptsRepliesOnlyWithExactUpperCaseCheckDigits) {
  TextSettings settings = Settings();
  settings.macDigits = "ABCDEF012345";  // upper-case letters in the body as well
  // A reply whose check digits hold letters, so that their case matters.
  std::string reply;
  for (unsigned seed = 1; reply.find_first_of("ABCDEF") >= 8; ++seed) {
    reply = BuildTextInfo(settings, "2.05", seed);
  }
  std::string lower = reply;
  for (size_t i = 0; i < 8; ++i) lower[i] = static_cast<char>(std::tolower(lower[i]));
  std::string corrupt = reply;
  corrupt[100] = corrupt[100] == 'A' ? 'B' : 'A';
  struct Row {
    const char* name;
    std::string datagram;
    bool valid;
  } rows[] = {
      {"reply", reply, true},
      {"127 bytes", reply.substr(0, 127), false},
      {"200 bytes, the first 128 valid", reply + std::string(72, '#'), true},
      {"a changed body byte", corrupt, false},
      {"right value in lower-case digits", lower, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.valid, IsValidTextReply(Bytes(row.datagram), row.datagram.size()));
  }
}

TEST(TextMessage, DecodesTheFieldsOfAnInformationReply) {
  const std::string reply = BuildTextInfo(Settings(), "2.05", 5);
  EXPECT_EQ("8C23", reply.substr(46, 4));  // the reply's order: low byte first
  const TextInfo info = DecodeTextInfo(reply);
  EXPECT_EQ("00:1a:2b:3c:4d:5e", info.macText);
  EXPECT_EQ(0xC0A80164u, info.ipAddress);
  EXPECT_EQ(0xFFFFFF00u, info.subnetMask);
  EXPECT_EQ(0xC0A80101u, info.gateway);
  EXPECT_EQ(9100, info.port);
  EXPECT_TRUE(info.dhcp);
  EXPECT_TRUE(info.hasVersion);
  EXPECT_EQ(" 2.05", info.version);
  EXPECT_TRUE(info.dhcpSupported);
}

TEST(TextMessage, VersionPortAndAddressRules) {
  struct Row {
    const char* name;
    size_t position;
    std::string characters;
    void (*check)(const TextInfo&);
  } rows[] = {
      {"port 238C in a reply is 35875", 46, "238C",
       [](const TextInfo& i) { EXPECT_EQ(35875, i.port); }},
      {"non-hex digit reads 0", 22, "C0A8016Z",
       [](const TextInfo& i) { EXPECT_EQ(0xC0A80160u, i.ipAddress); }},
      {"version 2.05", 60, " 2x050",
       [](const TextInfo& i) {
         EXPECT_EQ(" 2.05", i.version);
         EXPECT_TRUE(i.dhcpSupported);
       }},
      {"version 3.00 hides DHCP", 60, " 3.000",
       [](const TextInfo& i) {
         EXPECT_TRUE(i.hasVersion);
         EXPECT_FALSE(i.dhcpSupported);
       }},
      {"position 65 not 0: no version", 60, " 2.051",
       [](const TextInfo& i) { EXPECT_FALSE(i.hasVersion); }},
      {"a byte above 127 is below every digit", 60, " \xB2.150",
       [](const TextInfo& i) { EXPECT_FALSE(i.dhcpSupported); }},
      {"DHCP off unless 1", 50, "2", [](const TextInfo& i) { EXPECT_FALSE(i.dhcp); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string reply = BuildTextInfo(Settings(), "", 3);
    reply.replace(row.position, row.characters.size(), row.characters);
    row.check(DecodeTextInfo(reply));
  }
}

TEST(TextMessage, EditStoredReplyReplacesTheSavedFieldsOnly) {
  const std::string stored = BuildTextInfo(Settings(), "2.05", 11);
  TextSettings changed = Settings();
  changed.ipAddress = 0xC0A80177;
  changed.port = 9300;
  changed.dhcp = false;
  const std::string edited = EditStoredReply(stored, changed);
  EXPECT_EQ("C0A80177", edited.substr(22, 8));
  EXPECT_EQ("5424", edited.substr(46, 4));  // 9300 = 0x2454, low byte first
  EXPECT_EQ('0', edited[50]);
  EXPECT_EQ(stored.substr(0, 22), edited.substr(0, 22));  // check digits, code and MAC kept
  EXPECT_EQ(stored.substr(51), edited.substr(51));
  const TextSettings decoded = DecodeTextSet(BuildTextSet(changed, 4));
  EXPECT_EQ(9300, decoded.port);
  EXPECT_EQ(0xC0A80177u, decoded.ipAddress);
  EXPECT_FALSE(decoded.dhcp);
}

TEST(TextMessage, TextsShorterThanAMessageDecodeToNothing) {
  const std::string whole = BuildTextInfo(Settings(), "2.05", 9);
  struct Row {
    const char* name;
    std::string text;
    const char* code;
  } rows[] = {
      {"empty", "", ""},
      {"shorter than the code", whole.substr(0, 9), ""},
      {"code only", whole.substr(0, 10), "20"},
      {"one character short", whole.substr(0, 127), "20"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.code, TextMessageCode(row.text));
    const TextInfo info = DecodeTextInfo(row.text);
    EXPECT_EQ("", info.macText);
    EXPECT_EQ(0u, info.ipAddress);
    EXPECT_EQ(0, info.port);
    EXPECT_FALSE(info.hasVersion);
    EXPECT_EQ("", DecodeTextSet(row.text).macDigits);
    EXPECT_EQ(row.text, EditStoredReply(row.text, Settings()));
  }
}

}  // namespace
