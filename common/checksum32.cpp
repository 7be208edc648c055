#include "common/checksum32.h"

#include <array>

namespace {

// The eight bit steps applied to one byte value: each step XORs 0x09823B6E into an odd
// value, then shifts right by one.
constexpr std::array<uint32_t, 256> MakeByteSteps() {
  std::array<uint32_t, 256> table{};
  for (uint32_t value = 0; value < 256; ++value) {
    uint32_t t = value;
    for (int bit = 0; bit < 8; ++bit) {
      if ((t & 1) != 0) t ^= 0x09823B6E;
      t >>= 1;
    }
    table[value] = t;
  }
  return table;
}

constexpr std::array<uint32_t, 256> BYTE_STEPS = MakeByteSteps();

}  // namespace

uint32_t Checksum32(const uint8_t* data, size_t length) {
  uint32_t c = 0;
  for (size_t i = 0; i < length; ++i) c = BYTE_STEPS[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c;
}
