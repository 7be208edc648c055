// Fuzzes the firmware download's checks of received bytes with any byte string: the
// client's check of a ready or final reply, and the printer side's check of a header. A
// reply passes only when it is exactly 32 bytes with its start and byte-6 checks; a header
// passes only when it is whole (start, masked bytes, checksum), and the length and image
// checksum it yields are written back exactly as its digit fields hold them.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/byte_reader.h"
#include "common/checksum32.h"
#include "tcp/download_header.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t status = 0xEE;
  const bool reply = IsDownloadReply(data, static_cast<long>(size), &status);
  Check(reply == (size == DOWNLOAD_REPLY_SIZE && data[0] == 0x02 &&
                  data[6] == (data[1] ^ HANDSHAKE_MASK[0])));
  Check(reply ? status == data[11] : status == 0xEE);

  uint32_t length = 0;
  uint32_t checksum = 0;
  if (!ParseDownloadHeader(data, size, &length, &checksum)) return 0;
  Check(size == DOWNLOAD_HEADER_SIZE && data[0] == 0x02 && data[1] == DOWNLOAD_HEADER_SIZE);
  for (int i = 0; i < 5; ++i) Check(data[7 + i] == (data[2 + i] ^ HANDSHAKE_MASK[i]));
  Check(LoadLe32(data + 28) == Checksum32(data, 28));
  char digits[17];
  std::snprintf(digits, sizeof digits, "%08x%08x", length, checksum);
  Check(std::memcmp(digits, data + 12, 16) == 0);
  return 0;
}
