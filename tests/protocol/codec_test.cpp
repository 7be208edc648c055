// Check word, cipher and header of the configuration protocol against fixed vectors.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "protocol/config_crc16.h"
#include "protocol/config_header.h"
#include "protocol/payload_cipher.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(ConfigCrc16, MatchesCatalogueCheckValues) {
  // CRC-16/SPI-FUJITSU (alias AUG-CCITT) check values from the CRC catalogue.
  struct Row {
    const char* name;
    std::string input;
    uint16_t expected;
  } rows[] = {
      {"catalogue check string", "123456789", 0xE5CC},
      {"abc", "abc", 0x8CDA},
      {"empty block gives the initial value", "", 0x1D0F},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::vector<uint8_t> input = Bytes(row.input);
    EXPECT_EQ(row.expected, ConfigCrc16(input.data(), input.size()));
  }
}

// The register of CRC-CCITT run bit by bit from 0xFFFF over the message and then 16 zero
// bits: the same check word, computed the slow, independent way.
uint16_t BitSerialAugmentedCrc(const std::vector<uint8_t>& message) {
  uint16_t reg = 0xFFFF;
  const auto shiftIn = [&reg](int bit) {
    const bool top = (reg & 0x8000) != 0;
    reg = static_cast<uint16_t>((reg << 1) | bit);
    if (top) reg ^= 0x1021;
  };
  for (uint8_t byte : message) {
    for (int i = 7; i >= 0; --i) shiftIn((byte >> i) & 1);
  }
  for (int i = 0; i < 16; ++i) shiftIn(0);
  return reg;
}

TEST(ConfigCrc16, AgreesWithTheBitSerialRegisterForEveryLength) {
  std::vector<uint8_t> message;
  uint32_t seed = 12345;
  for (size_t length = 0; length <= 40; ++length) {
    SCOPED_TRACE(length);
    EXPECT_EQ(BitSerialAugmentedCrc(message), ConfigCrc16(message.data(), message.size()));
    seed = seed * 1103515245u + 12345u;
    message.push_back(static_cast<uint8_t>(seed >> 16));
  }
}

TEST(Rc4Transform, MatchesPublishedVectors) {
  // The widely published RC4 examples (key, plaintext, ciphertext).
  struct Row {
    std::string key;
    std::string plain;
    std::vector<uint8_t> cipher;
  } rows[] = {
      {"Key", "Plaintext", {0xBB, 0xF3, 0x16, 0xE8, 0xD9, 0x40, 0xAF, 0x0A, 0xD3}},
      {"Wiki", "pedia", {0x10, 0x21, 0xBF, 0x04, 0x20}},
      {"Secret",
       "Attack at dawn",
       {0x45, 0xA0, 0x1F, 0x64, 0x5F, 0xC3, 0x5B, 0x38, 0x35, 0x52, 0x54, 0x4B, 0x9B, 0xF5}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    const std::vector<uint8_t> key = Bytes(row.key);
    const std::vector<uint8_t> plain = Bytes(row.plain);
    std::vector<uint8_t> out(plain.size());
    Rc4Transform(key.data(), key.size(), plain.data(), out.data(), plain.size());
    EXPECT_EQ(row.cipher, out);
  }
}

// RC4 as its definition reads, one byte at a time with a modulo on every index.
std::vector<uint8_t> TextbookRc4(const std::vector<uint8_t>& key,
                                 const std::vector<uint8_t>& input) {
  int state[256];
  for (int i = 0; i < 256; ++i) state[i] = i;
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + state[i] + key[static_cast<size_t>(i) % key.size()]) % 256;
    std::swap(state[i], state[j]);
  }
  std::vector<uint8_t> output;
  for (int n = 0, i = 0, j = 0; n < static_cast<int>(input.size()); ++n) {
    i = (i + 1) % 256;
    j = (j + state[i]) % 256;
    std::swap(state[i], state[j]);
    output.push_back(static_cast<uint8_t>(input[n] ^ state[(state[i] + state[j]) % 256]));
  }
  return output;
}

TEST(Rc4Transform, AgreesWithTheTextbookAlgorithmForEveryLengthAndKeySize) {
  std::vector<uint8_t> input;
  uint32_t seed = 7;
  for (int i = 0; i < 1500; ++i) {
    seed = seed * 1103515245u + 12345u;
    input.push_back(static_cast<uint8_t>(seed >> 16));
  }
  for (size_t keySize : {1, 5, 16, 255, 256}) {
    const std::vector<uint8_t> key(input.begin() + 100, input.begin() + 100 + keySize);
    const std::vector<uint8_t> expected = TextbookRc4(key, input);
    for (size_t length : {0, 1, 3, 4, 5, 7, 8, 9, 1231, 1500}) {
      SCOPED_TRACE(testing::Message() << "key " << keySize << " bytes, " << length << " bytes");
      std::vector<uint8_t> out(length);
      Rc4Transform(key.data(), key.size(), input.data(), out.data(), length);
      ASSERT_EQ(std::vector<uint8_t>(expected.begin(), expected.begin() + length), out);
    }
  }
}

TEST(PayloadKey, IsTheConstantFollowedByTheCheckWordLowByteFirst) {
  const PayloadKey key = BuildPayloadKey(0xBEEF);
  EXPECT_EQ(0, std::memcmp(key.bytes, "NetvoraCfgKey1", 14));
  EXPECT_EQ(0xEF, key.bytes[14]);
  EXPECT_EQ(0xBE, key.bytes[15]);
}

TEST(CryptPayload, EnciphersUnderTheKeyOfItsCheckWordAndDeciphersInPlace) {
  const std::vector<uint8_t> plain = Bytes("element list of a settings write");
  std::vector<uint8_t> cipher(plain.size());
  CryptPayload(0x1234, plain.data(), cipher.data(), plain.size());

  const PayloadKey key = BuildPayloadKey(0x1234);
  std::vector<uint8_t> expected(plain.size());
  Rc4Transform(key.bytes, sizeof key.bytes, plain.data(), expected.data(), plain.size());
  EXPECT_EQ(expected, cipher);

  std::vector<uint8_t> otherKey(plain.size());
  CryptPayload(0x1235, plain.data(), otherKey.data(), plain.size());
  EXPECT_NE(cipher, otherKey);

  CryptPayload(0x1234, cipher.data(), cipher.data(), cipher.size());
  EXPECT_EQ(plain, cipher);
}

TEST(ConfigHeader, EncodesCheckWordLittleEndianAndRoundTrips) {
  ConfigHeader header{};
  std::memcpy(header.magic, CONFIG_MAGIC, 4);
  header.headerCode = HEADER_CODE;
  header.flags = FLAG_REPLY | FLAG_DIRECTED;
  header.operation = OP_SET;
  header.status = STATUS_PASSWORD_MISMATCH;
  header.checkWord = 0xA1B2;
  const uint8_t mac[MAC_SIZE] = {0x02, 0, 0, 0, 0x80, 0x7F};
  std::memcpy(header.mac, mac, MAC_SIZE);
  header.reserved[15] = 0x55;

  uint8_t wire[CONFIG_HEADER_SIZE];
  EncodeConfigHeader(header, wire);
  const uint8_t expectedStart[16] = {0x2A, 0x76, 0x4E, 0x01, 0x10, 0x82, 0x03, 0x02,
                                     0xB2, 0xA1, 0x02, 0x00, 0x00, 0x00, 0x80, 0x7F};
  EXPECT_EQ(0, std::memcmp(expectedStart, wire, 16));
  EXPECT_EQ(0x55, wire[31]);

  const ConfigHeader back = DecodeConfigHeader(wire);
  EXPECT_EQ(0, std::memcmp(&header.magic, &back.magic, 4));
  EXPECT_EQ(header.flags, back.flags);
  EXPECT_EQ(header.operation, back.operation);
  EXPECT_EQ(header.status, back.status);
  EXPECT_EQ(header.checkWord, back.checkWord);
  EXPECT_EQ(0, std::memcmp(header.mac, back.mac, MAC_SIZE));
  EXPECT_EQ(0x55, back.reserved[15]);
}

}  // namespace
