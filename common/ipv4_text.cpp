#include "common/ipv4_text.h"

#include <cstdio>
#include <cstring>

void FormatIpv4(uint32_t address, char text[16]) {
  const auto* b = reinterpret_cast<const uint8_t*>(&address);
  std::snprintf(text, 16, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
}

bool ParseIpv4(const char* text, uint32_t* address) {
  uint8_t parts[4];
  const char* p = text;
  for (int i = 0; i < 4; ++i) {
    if (*p < '0' || *p > '9') return false;
    unsigned value = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
      value = value * 10 + static_cast<unsigned>(*p++ - '0');
      if (++digits > 3 || value > 255) return false;
    }
    parts[i] = static_cast<uint8_t>(value);
    if (i < 3 && *p++ != '.') return false;
  }
  if (*p != '\0') return false;
  std::memcpy(address, parts, 4);
  return true;
}
