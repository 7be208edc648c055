#include "tcp/test_page.h"

#include <cstdio>

#include "common/code_page.h"

namespace {

struct Labels {
  const char* mac;
  const char* ip;
  const char* mask;
  const char* gateway;
  const char* port;
};

constexpr Labels ENGLISH{
    "MAC Address : ", "IP Address  : ", "Subnet Mask : ", "Gateway     : ", "Port Number : "};
// UTF-8 here; each is 16 bytes wide before ": " in code page 949.
constexpr Labels KOREAN{"MAC 주소        : ", "IP 주소         : ", "서브넷 마스크   : ",
                        "기본 게이트웨이 : ", "전송 포트 번호  : "};

std::string AddressLine(const std::string& label, uint32_t address) {
  char text[PAGE_LINE_MAX + 1];
  std::snprintf(text, sizeof text, "%s%3u.%3u.%3u.%3u\r\n", label.c_str(), (address >> 24) & 0xFF,
                (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF);
  return text;
}

}  // namespace

std::vector<std::string> BuildTestPageLines(const TestPageValues& values, bool korean) {
  const Labels& labels = korean ? KOREAN : ENGLISH;
  const auto label = [korean](const char* text) {
    return korean ? ToCodePage949(text) : std::string(text);
  };
  char port[PAGE_LINE_MAX + 1];
  std::snprintf(port, sizeof port, "%s%u\r\n", label(labels.port).c_str(), values.port);
  return {
      (label(labels.mac) + values.macText + "\r\n").substr(0, PAGE_LINE_MAX),
      AddressLine(label(labels.ip), values.ipAddress),
      AddressLine(label(labels.mask), values.subnetMask),
      AddressLine(label(labels.gateway), values.gateway),
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
