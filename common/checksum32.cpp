#include "common/checksum32.h"

uint32_t Checksum32(const uint8_t* data, size_t length) {
  uint32_t c = 0;
  for (size_t i = 0; i < length; ++i) {
    uint32_t t = (c & 0xFF) ^ data[i];
    for (int bit = 0; bit < 8; ++bit) {
      if ((t & 1) != 0) t ^= 0x09823B6E;
      t >>= 1;
    }
    c = t ^ (c >> 8);
  }
  return c;
}
