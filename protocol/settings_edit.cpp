#include "protocol/settings_edit.h"

#include "protocol/settings_write.h"

namespace {

constexpr uint32_t CHANNEL_BIT_10 = 0x400;
constexpr uint32_t CHANNEL_BIT_11 = 0x800;

}  // namespace

bool ApplyNetworkSettings(PrinterInfo* record, const NetworkSettings& settings) {
  record->ipAddress = settings.ipAddress;
  record->subnetMask = settings.subnetMask;
  record->gateway = settings.gateway;
  if (!IsUsableHostAddress(*record)) return false;
  SetPrintPort(record, settings.port);
  for (int channel = 0; channel < 2; ++channel) {
    const uint32_t word = GetChannelWord(*record, channel);
    SetChannelWord(record, channel, (word & ~CHANNEL_BIT_11) | CHANNEL_BIT_10);
  }
  return true;
}

std::vector<std::string> WriteFailureMessages(int error) {
  if (error == SET_ERR_NO_RESPONSE) return {MSG_NO_RESPONSE};
  if (error == SET_ERR_PASSWORD) return {MSG_PASSWORD_MISMATCH};
  return {MSG_ERROR_VALUE + std::to_string(error), MSG_UNKNOWN_ERROR};
}
