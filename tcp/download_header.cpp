#include "tcp/download_header.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/byte_reader.h"
#include "common/checksum32.h"

namespace {

void PutHexDigits(uint8_t* out, uint32_t value) {
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08x", value);
  std::memcpy(out, digits, 8);
}

bool ReadHexDigits(const uint8_t* in, uint32_t* value) {
  uint32_t result = 0;
  for (int i = 0; i < 8; ++i) {
    const char c = static_cast<char>(in[i]);
    uint32_t digit;
    if (c >= '0' && c <= '9')
      digit = static_cast<uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f')
      digit = static_cast<uint32_t>(c - 'a' + 10);
    else
      return false;
    result = (result << 4) | digit;
  }
  *value = result;
  return true;
}

}  // namespace

DownloadHeader BuildDownloadHeader(const uint8_t* image, size_t length, unsigned seed) {
  DownloadHeader header;
  std::srand(seed);
  for (uint8_t& byte : header) byte = static_cast<uint8_t>(std::rand() % 255 + 1);
  header[0] = 0x02;
  header[1] = static_cast<uint8_t>(DOWNLOAD_HEADER_SIZE);
  for (int i = 0; i < 5; ++i) header[7 + i] = header[2 + i] ^ HANDSHAKE_MASK[i];
  PutHexDigits(header.data() + 12, static_cast<uint32_t>(length));
  PutHexDigits(header.data() + 20, Checksum32(image, length));
  StoreLe32(header.data() + 28, Checksum32(header.data(), 28));
  return header;
}

bool ParseDownloadHeader(const uint8_t* received, size_t count, uint32_t* imageLength,
                         uint32_t* imageChecksum) {
  const uint8_t* header = ByteReader(received, count).Peek(DOWNLOAD_HEADER_SIZE);
  if (header == nullptr || count != DOWNLOAD_HEADER_SIZE || header[0] != 0x02 ||
      header[1] != DOWNLOAD_HEADER_SIZE)
    return false;
  for (int i = 0; i < 5; ++i) {
    if (header[7 + i] != (header[2 + i] ^ HANDSHAKE_MASK[i])) return false;
  }
  if (LoadLe32(header + 28) != Checksum32(header, 28)) return false;
  return ReadHexDigits(header + 12, imageLength) && ReadHexDigits(header + 20, imageChecksum);
}

DownloadReply BuildDownloadReply(uint8_t status, unsigned seed) {
  DownloadReply reply;
  std::srand(seed);
  for (uint8_t& byte : reply) byte = static_cast<uint8_t>(std::rand() % 256);
  reply[0] = 0x02;
  reply[6] = reply[1] ^ HANDSHAKE_MASK[0];
  reply[11] = status;
  return reply;
}

bool IsDownloadReply(const uint8_t* reply, long count, uint8_t* status) {
  if (count != static_cast<long>(DOWNLOAD_REPLY_SIZE) || reply[0] != 0x02 ||
      reply[6] != (reply[1] ^ HANDSHAKE_MASK[0])) {
    return false;
  }
  *status = reply[11];
  return true;
}
