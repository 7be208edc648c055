#include "tcp/test_page.h"

#include <cstdio>

#include "common/code_page.h"
#include "tcp/texts.h"

namespace {

std::string AddressLine(const std::string& label, uint32_t address) {
  char text[PAGE_LINE_MAX + 1];
  std::snprintf(text, sizeof text, "%s%3u.%3u.%3u.%3u\r\n", label.c_str(), (address >> 24) & 0xFF,
                (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF);
  return text;
}

}  // namespace

std::vector<std::string> BuildTestPageLines(const TestPageValues& values, bool korean) {
  // The printer takes code page 949 bytes.
  const auto label = [korean](const CoreText& text) {
    return korean ? ToCodePage949(text.In(true)) : std::string(text.In(false));
  };
  char port[PAGE_LINE_MAX + 1];
  std::snprintf(port, sizeof port, "%s%u\r\n", label(PAGE_LABEL_PORT).c_str(), values.port);
  return {
      (label(PAGE_LABEL_MAC) + values.macText + "\r\n").substr(0, PAGE_LINE_MAX),
      AddressLine(label(PAGE_LABEL_IP), values.ipAddress),
      AddressLine(label(PAGE_LABEL_MASK), values.subnetMask),
      AddressLine(label(PAGE_LABEL_GATEWAY), values.gateway),
      port,
  };
}

bool SendTestPage(CTcpLink* link, const std::vector<std::string>& lines) {
  bool whole = true;
  for (const std::string& line : lines) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(line.data());
    whole = link->SendBytes(bytes, line.size()) == static_cast<long>(line.size());
    if (!whole) break;
  }
  if (whole)
    whole =
        link->SendBytes(CUT_COMMAND, sizeof CUT_COMMAND) == static_cast<long>(sizeof CUT_COMMAND);
  link->CloseLink();
  return whole;
}
