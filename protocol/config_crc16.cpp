#include "protocol/config_crc16.h"

#include <array>

namespace {

constexpr std::array<uint16_t, 256> MakeCrcTable() {
  std::array<uint16_t, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    uint16_t crc = static_cast<uint16_t>(byte << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    table[byte] = crc;
  }
  return table;
}

constexpr std::array<uint16_t, 256> CRC_TABLE = MakeCrcTable();

}  // namespace

uint16_t ConfigCrc16(const uint8_t* data, size_t length) {
  uint16_t crc = 0x1D0F;
  for (size_t i = 0; i < length; ++i) {
    crc = static_cast<uint16_t>((crc << 8) ^ CRC_TABLE[((crc >> 8) ^ data[i]) & 0xFF]);
  }
  return crc;
}
