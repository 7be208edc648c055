// The text protocol's message: layout, field encodings, check digits and decoding.
#include "operations/text_message.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

TextSettings Settings() {
  return TextSettings{"001a2b3c4d5e", 0xC0A80164, 0xFFFFFF00, 0xC0A80101, 9100, true};
}

const uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const uint8_t*>(text.data());
}

// Whole messages whose check digits were computed apart from this code base, bit by bit
// from the checksum's definition (the same reference gives 031A73AE for "abc"): an
// information reply for Settings() with version 2.05 (upper-case digits, "F" among them)
// and a set request (lower-case digits, "b" among them).
const std::string FIXED_REPLY =
    "058F66BF20001a2b3c4d5eC0A80164FFFFFF00C0A801018C231######### 2.050The rest of a reply is "
    "filler that no receiver reads; The resA";
const std::string FIXED_REQUEST =
    "06604b2510001a2b3c4d5eC0A80164FFFFFF00C0A80101238C1A request's filler: any characters "
    "from code 32 to 127 will do. A request's f";

std::string WithCheckDigitsIn(std::string message, int (*toCase)(int)) {
  for (size_t i = 0; i < 8; ++i) message[i] = static_cast<char>(toCase(message[i]));
  return message;
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
  EXPECT_EQ(FIXED_REQUEST.substr(8, 43), set.substr(8, 43));
  for (size_t i = 51; i < set.size(); ++i) {
    const auto filler = static_cast<unsigned char>(set[i]);
    ASSERT_GE(filler, 32) << "position " << i;
    ASSERT_LE(filler, 127) << "position " << i;
  }
  EXPECT_TRUE(IsValidTextRequest(Bytes(set), set.size()));
  EXPECT_FALSE(IsValidTextReply(Bytes(set), set.size()));  // lower-case digits
}

TEST(TextMessage, CheckDigitsMatchFixedMessagesInTheirCaseOnly) {
  std::string changedBody = FIXED_REPLY;
  changedBody[100] = 'X';
  struct Row {
    const char* name;
    std::string message;
    bool reply;
    bool request;
  } rows[] = {
      {"reply", FIXED_REPLY, true, false},
      {"reply with its digits in lower case", WithCheckDigitsIn(FIXED_REPLY, std::tolower), false,
       true},
      {"reply with a changed body byte", changedBody, false, false},
      {"127 bytes of a reply", FIXED_REPLY.substr(0, 127), false, false},
      {"200 bytes, the first 128 a reply", FIXED_REPLY + std::string(72, '#'), true, false},
      {"request", FIXED_REQUEST, false, true},
      {"request with its digits in upper case", WithCheckDigitsIn(FIXED_REQUEST, std::toupper),
       true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.reply, IsValidTextReply(Bytes(row.message), row.message.size()));
    EXPECT_EQ(row.request, IsValidTextRequest(Bytes(row.message), row.message.size()));
  }
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

TEST(TextMessage, DecodesTheFieldsOfAnInformationReply) {
  const std::string built = BuildTextInfo(Settings(), "2.05", 5);
  EXPECT_TRUE(IsValidTextReply(Bytes(built), built.size()));
  EXPECT_EQ(FIXED_REPLY.substr(8, 43), built.substr(8, 43));  // port 8C23: low byte first
  EXPECT_EQ(FIXED_REPLY.substr(60, 6), built.substr(60, 6));
  const TextInfo info = DecodeTextInfo(FIXED_REPLY);
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
