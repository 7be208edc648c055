#include "protocol/config_crc16.h"

#include <array>

namespace {

using CrcTable = std::array<uint16_t, 256>;

// Table n holds i * x^(16 + 8n) mod the polynomial: the check word's change from byte value
// i followed by n zero bytes. Table 0 is the classic byte-at-a-time table.
constexpr std::array<CrcTable, 4> MakeCrcTables() {
  std::array<CrcTable, 4> tables{};
  for (int byte = 0; byte < 256; ++byte) {
    uint16_t crc = static_cast<uint16_t>(byte << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    tables[0][byte] = crc;
  }
  for (size_t n = 1; n < tables.size(); ++n) {
    for (int byte = 0; byte < 256; ++byte) {
      const uint16_t previous = tables[n - 1][byte];
      tables[n][byte] = static_cast<uint16_t>((previous << 8) ^ tables[0][previous >> 8]);
    }
  }
  return tables;
}

constexpr std::array<CrcTable, 4> CRC_TABLES = MakeCrcTables();

}  // namespace

uint16_t ConfigCrc16(const uint8_t* data, size_t length) {
  uint32_t crc = 0x1D0F;
  size_t at = 0;
  // Four bytes a step: the register and the next four bytes fold into one 32-bit value
  // whose four bytes are looked up independently.
  for (; at + 4 <= length; at += 4) {
    const uint32_t folded = (crc << 16) ^ (static_cast<uint32_t>(data[at]) << 24) ^
                            (static_cast<uint32_t>(data[at + 1]) << 16) ^
                            (static_cast<uint32_t>(data[at + 2]) << 8) ^ data[at + 3];
    crc = CRC_TABLES[3][folded >> 24] ^ CRC_TABLES[2][(folded >> 16) & 0xFF] ^
          CRC_TABLES[1][(folded >> 8) & 0xFF] ^ CRC_TABLES[0][folded & 0xFF];
  }
  for (; at < length; ++at) {
    crc = ((crc << 8) ^ CRC_TABLES[0][((crc >> 8) ^ data[at]) & 0xFF]) & 0xFFFF;
  }
  return static_cast<uint16_t>(crc);
}
