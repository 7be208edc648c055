#include "cli/printer_write.h"

#include <algorithm>
#include <cstring>

#include "common/byte_reader.h"
#include "common/clock.h"
#include "common/mac_text.h"
#include "operations/text_exchange.h"
#include "protocol/settings_edit.h"
#include "protocol/settings_write.h"

namespace {

// Appends the write's line when the request went out.
void Log(const WriteLog& log, const std::string& mac, const char* family,
         const PrinterValues& before, const PrinterValues& after, WriteResult* result) {
  const WriteOutcome outcome = result->outcome;
  if (outcome != WriteOutcome::kStored && outcome != WriteOutcome::kRefused &&
      outcome != WriteOutcome::kNoAnswer) {
    return;
  }
  if (!log.log->Append({log.verb, mac, family, before, after, OutcomeWord(outcome)})) {
    result->messages.push_back("netvora-cli: cannot write the change log " + log.log->Path());
  }
}

WriteResult Failed(int socketError, std::vector<std::string> messages) {
  messages.push_back("netvora-cli: " + SocketErrorText(socketError));
  return {WriteOutcome::kFailed, std::move(messages), socketError, {}};
}

}  // namespace

const char* OutcomeWord(WriteOutcome outcome) {
  switch (outcome) {
    case WriteOutcome::kStored:
      return "stored";
    case WriteOutcome::kRefused:
      return "refused by the printer";
    case WriteOutcome::kNoAnswer:
      return "no answer";
    case WriteOutcome::kRejected:
      return "not sent";
    case WriteOutcome::kFailed:
      return "failed";
  }
  return "failed";
}

WriteResult WriteConfigPrinter(const SendScope& scope, const FoundConfig& found,
                               const PrinterValues& wanted,
                               const std::optional<std::string>& password, const WriteLog& log) {
  PrinterInfo record = found.record;
  if (!ApplyNetworkSettings(&record, {wanted.ip, wanted.mask, wanted.gateway, wanted.port})) {
    return {WriteOutcome::kRejected, {MSG_WRONG_LOCAL_IP}, 0, {}};
  }
  uint8_t key[PASSWORD_SIZE] = {};
  if (password) {
    std::memcpy(key, password->data(), std::min(password->size(), sizeof key));
  } else {
    std::memcpy(key, record.password, PASSWORD_SIZE);
  }
  int error = 0;
  const int written = scope.Directed()
                          ? WritePrinterSettings(WRITE_MODE_DIRECTED, &record, key, &error)
                          : WritePrinterSettingsAlong(scope.Routes(), &record, key, &error);
  WriteResult result{WriteOutcome::kStored, {}, 0, {}};
  if (written == 1) {
    result.stored.configs.push_back({record, found.interfaceName});
  } else if (error > 0) {
    // Positive codes are the local socket's errors; the negative ones the exchange's own.
    return Failed(error, WriteFailureMessages(error));
  } else {
    result.messages = WriteFailureMessages(error);
    result.outcome = error == SET_ERR_PASSWORD      ? WriteOutcome::kRefused
                     : error == SET_ERR_NO_RESPONSE ? WriteOutcome::kNoAnswer
                                                    : WriteOutcome::kRejected;
  }
  Log(log, FormatMac(found.record.mac), "config", ValuesOf(found.record), wanted, &result);
  return result;
}

WriteResult WriteTextPrinter(const SendScope& scope, const FoundText& found,
                             const PrinterValues& wanted, const WriteLog& log) {
  const TextInfo info = DecodeTextInfo(found.reply);
  const TextSettings settings{MacDigitsOf(info.macText),
                              NetworkToHost32(wanted.ip),
                              NetworkToHost32(wanted.mask),
                              NetworkToHost32(wanted.gateway),
                              wanted.port,
                              wanted.dhcp.value_or(info.dhcp)};
  int error = 0;
  const SocketHandle socket = OpenTextSocket(&error);
  if (socket == INVALID_SOCKET_HANDLE) {
    return Failed(error, {"netvora-cli: cannot use UDP port " + std::to_string(TEXT_PORT)});
  }
  error = SendTextMessageAlong(socket, BuildTextSet(settings, MillisecondClock()), scope.Routes());
  std::string ack;
  const bool acknowledged =
      error == 0 && WaitForTextReply(socket, TXT_SET_ACK, TEXT_SET_ACK_WAIT_MS, &ack);
  CloseSocket(socket);
  if (error != 0) return Failed(error, {"Sever Socket failed to send: " + std::to_string(error)});
  WriteResult result{WriteOutcome::kStored, {}, 0, {}};
  if (acknowledged) {
    result.stored.texts.push_back({EditStoredReply(found.reply, settings), found.interfaceName});
  } else {
    result.outcome = WriteOutcome::kNoAnswer;
    result.messages = {MSG_SAVE_ERROR};
  }
  PrinterValues after = wanted;
  after.dhcp = settings.dhcp;
  Log(log, info.macText, "text", ValuesOf(info), after, &result);
  return result;
}
