// Checksum32 against its check values.
#include "common/checksum32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Checksum32, MatchesItsCheckValues) {
  struct Row {
    const char* name;
    std::string input;
    uint32_t expected;
  } rows[] = {
      {"abc", "abc", 0x031A73AE},
      {"check string", "123456789", 0x0328B978},
      {"empty block", "", 0},
      {"one zero byte", std::string(1, '\0'), 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto* bytes = reinterpret_cast<const uint8_t*>(row.input.data());
    EXPECT_EQ(row.expected, Checksum32(bytes, row.input.size()));
  }
}

// The checksum computed bit by bit, as its definition reads.
uint32_t BitByBit(const std::string& block) {
  uint32_t c = 0;
  for (unsigned char b : block) {
    uint32_t t = (c & 0xFF) ^ b;
    for (int bit = 0; bit < 8; ++bit) {
      if (t & 1) t ^= 0x09823B6E;
      t >>= 1;
    }
    c = t ^ (c >> 8);
  }
  return c;
}

TEST(Checksum32, AgreesWithTheBitByBitDefinition) {
  std::string block;
  for (int i = 0; i < 300; ++i) {
    block += static_cast<char>((i * 37 + 11) & 0xFF);
    ASSERT_EQ(BitByBit(block),
              Checksum32(reinterpret_cast<const uint8_t*>(block.data()), block.size()));
  }
}

// Firmware images are long: blocks of every length around the 16- and 64-byte steps of the
// long-block path, at every start within 16 bytes.
TEST(Checksum32, AgreesWithTheBitByBitDefinitionOnLongBlocks) {
  std::string block(70000, '\0');
  uint32_t state = 12345;
  for (char& byte : block) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 24);
  }
  for (size_t start = 0; start < 16; ++start) {
    for (size_t length : {63, 64, 65, 79, 80, 127, 128, 129, 191, 1000, 4093, 69984}) {
      SCOPED_TRACE(testing::Message() << "start " << start << ", length " << length);
      ASSERT_EQ(BitByBit(block.substr(start, length)),
                Checksum32(reinterpret_cast<const uint8_t*>(block.data()) + start, length));
    }
  }
}

TEST(Checksum32, StaysBelow2To27) {
  std::string block(120, '\0');
  for (int seed = 1; seed < 200; ++seed) {
    for (size_t i = 0; i < block.size(); ++i)
      block[i] = static_cast<char>((seed * 31 + i * 7) & 0xFF);
    ASSERT_LT(Checksum32(reinterpret_cast<const uint8_t*>(block.data()), block.size()),
              0x08000000u);
  }
}

}  // namespace
