#include "common/mac_text.h"

#include <cctype>
#include <cstdio>

std::string FormatMac(const uint8_t mac[6]) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3],
                mac[4], mac[5]);
  return text;
}

bool ParseMac(const std::string& text, uint8_t mac[6]) {
  if (text.size() != 17) return false;
  for (size_t i = 0; i < 6; ++i) {
    const size_t at = i * 3;
    if (!std::isxdigit(static_cast<unsigned char>(text[at])) ||
        !std::isxdigit(static_cast<unsigned char>(text[at + 1])) ||
        (i < 5 && text[at + 2] != ':')) {
      return false;
    }
    mac[i] = static_cast<uint8_t>(std::stoi(text.substr(at, 2), nullptr, 16));
  }
  return true;
}

std::string MacDigitsOf(const std::string& macText) {
  std::string digits;
  for (char c : macText) {
    if (c != ':') digits += c;
  }
  return digits;
}

bool SameMacText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}
