#include "cli/found_printers.h"

#include <algorithm>
#include <cstring>

#include "common/byte_reader.h"
#include "common/mac_text.h"

PrinterValues ValuesOf(const PrinterInfo& record) {
  return {record.ipAddress, record.subnetMask, record.gateway, GetPrintPort(record), {}};
}

PrinterValues ValuesOf(const TextInfo& info) {
  return {HostToNetwork32(info.ipAddress), HostToNetwork32(info.subnetMask),
          HostToNetwork32(info.gateway), info.port, info.dhcp};
}

void SortByMac(std::vector<FoundConfig>* records) {
  std::stable_sort(records->begin(), records->end(),
                   [](const FoundConfig& a, const FoundConfig& b) {
                     return CompareMac(a.record, b.record) < 0;
                   });
}

const FoundConfig* FindConfig(const FoundPrinters& found, const uint8_t mac[6]) {
  const auto it = std::find_if(
      found.configs.begin(), found.configs.end(),
      [&](const FoundConfig& config) { return std::memcmp(config.record.mac, mac, 6) == 0; });
  return it == found.configs.end() ? nullptr : &*it;
}

const FoundText* FindText(const FoundPrinters& found, const uint8_t mac[6]) {
  const std::string wanted = FormatMac(mac);
  const auto it = std::find_if(found.texts.begin(), found.texts.end(), [&](const FoundText& text) {
    return SameMacText(DecodeTextInfo(text.reply).macText, wanted);
  });
  return it == found.texts.end() ? nullptr : &*it;
}
