#include "protocol/config_header.h"

#include <cstring>

#include "common/byte_reader.h"

void EncodeConfigHeader(const ConfigHeader& header, uint8_t out[CONFIG_HEADER_SIZE]) {
  std::memcpy(out, header.magic, 4);
  out[4] = header.headerCode;
  out[5] = header.flags;
  out[6] = header.operation;
  out[7] = header.status;
  StoreLe16(out + 8, header.checkWord);
  std::memcpy(out + 10, header.mac, MAC_SIZE);
  std::memcpy(out + 16, header.reserved, sizeof header.reserved);
}

ConfigHeader DecodeConfigHeader(const uint8_t in[CONFIG_HEADER_SIZE]) {
  ConfigHeader header{};
  std::memcpy(header.magic, in, 4);
  header.headerCode = in[4];
  header.flags = in[5];
  header.operation = in[6];
  header.status = in[7];
  header.checkWord = LoadLe16(in + 8);
  std::memcpy(header.mac, in + 10, MAC_SIZE);
  std::memcpy(header.reserved, in + 16, sizeof header.reserved);
  return header;
}
