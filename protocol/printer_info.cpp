#include "protocol/printer_info.h"

#include <cstring>

#include "common/byte_reader.h"

uint16_t GetPrintPort(const PrinterInfo& info) {
  return LoadLe16(info.channelSettings[0].settings + 8);
}

void SetPrintPort(PrinterInfo* info, uint16_t port) {
  StoreLe16(info->channelSettings[0].settings + 8, port);
}

uint32_t GetChannelWord(const PrinterInfo& info, int channel) {
  return LoadLe32(info.channels[channel].data);
}

void SetChannelWord(PrinterInfo* info, int channel, uint32_t word) {
  StoreLe32(info->channels[channel].data, word);
}

bool ExpressionCheckRequested(const PrinterInfo& info) {
  return (LoadLe32(info.exprControl) & 0x2u) != 0;
}

uint16_t GetRangeBase1(const PrinterInfo& info) { return LoadLe16(info.exprControl + 12); }

uint16_t GetRangeBase2(const PrinterInfo& info) { return LoadLe16(info.exprControl + 14); }

int CompareMac(const PrinterInfo& a, const PrinterInfo& b) {
  return std::memcmp(a.mac, b.mac, MAC_SIZE);
}
