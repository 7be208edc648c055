#include "sim/sim_printer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/mac_text.h"
#include "common/socket_port.h"
#include "protocol/elements.h"

SimPrinter MakeSimPrinter(const SimPrinterSettings& settings) {
  SimPrinter printer{};
  PrinterInfo& record = printer.record;
  std::memcpy(record.mac, settings.mac, MAC_SIZE);
  record.ipAddress = settings.ipAddress;
  record.subnetMask = settings.subnetMask;
  record.gateway = settings.gateway;
  // The model element sets the flags exactly as a client decoding the reply will.
  uint8_t model[ELEMENT_OVERHEAD + 4];
  const uint8_t code[2] = {static_cast<uint8_t>(settings.modelCode),
                           static_cast<uint8_t>(settings.modelCode >> 8)};
  const size_t length = EncodeElement(model, ELEM_MODEL, 0, code, sizeof code);
  (void)DecodeElements(model, length, &record);
  for (int channel = 0; channel < 2; ++channel) {
    record.channels[channel].present = 1;
    record.channelSettings[channel].present = 1;
  }
  SetPrintPort(&record, settings.port);
  std::memcpy(record.password, settings.password.data(),
              std::min<size_t>(settings.password.size(), PASSWORD_SIZE));
  return printer;
}

std::string DescribePrinter(const PrinterInfo& record) {
  char ip[16], mask[16], gateway[16];
  FormatIpv4(record.ipAddress, ip);
  FormatIpv4(record.subnetMask, mask);
  FormatIpv4(record.gateway, gateway);
  char text[96];
  std::snprintf(text, sizeof text, " ip=%s mask=%s gateway=%s port=%u", ip, mask, gateway,
                GetPrintPort(record));
  return FormatMac(record.mac) + text;
}
