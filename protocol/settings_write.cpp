#include "protocol/settings_write.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <memory>

#include "common/byte_reader.h"
#include "protocol/config_crc16.h"
#include "protocol/expression.h"
#include "protocol/payload_cipher.h"

namespace {

// The checks a record must pass before anything is sent: 0 or a SET_ERR_* code.
int CheckRecord(const PrinterInfo& info) {
  if (!IsUsableHostAddress(info)) return SET_ERR_BAD_ADDRESS;
  if (info.modelCode != MODEL_EXPRESSION) return 0;
  if (ExpressionCheckRequested(info) && FindInvalidExpression(info.expressions) != 0) {
    return SET_ERR_EXPRESSION;
  }
  const int base2 = GetRangeBase2(info);
  const int distance = base2 - GetRangeBase1(info);
  if (base2 != 0 && distance > -8 && distance < 8) return SET_ERR_RANGE_OVERLAP;
  return 0;
}

// Whether the last datagram received is the target's answer that its password does not
// match: a reply (magic and reply flag) with status 2 that carries the target's hardware
// address. Another printer's status-2 answer says nothing about the target.
bool TargetRefusedPassword(const ConfigHeader& last, const uint8_t targetMac[MAC_SIZE]) {
  return std::memcmp(last.magic, CONFIG_MAGIC, sizeof CONFIG_MAGIC) == 0 &&
         (last.flags & FLAG_REPLY) != 0 && last.status == STATUS_PASSWORD_MISMATCH &&
         std::memcmp(last.mac, targetMac, MAC_SIZE) == 0;
}

// A protected record is sent with the caller's password; an unprotected one as it is.
void SubstitutePassword(PrinterInfo* info, const uint8_t password[PASSWORD_SIZE]) {
  const bool protectedRecord = std::any_of(std::begin(info->password), std::end(info->password),
                                           [](uint8_t byte) { return byte != 0; });
  if (protectedRecord) std::memcpy(info->password, password, PASSWORD_SIZE);
}

}  // namespace

bool IsUsableHostAddress(const PrinterInfo& info) {
  const uint32_t address = NetworkToHost32(info.ipAddress);
  const uint32_t mask = NetworkToHost32(info.subnetMask);
  uint32_t hostBits = 0;  // the class's host part; 0 for classes D and E, which skip the test
  if ((address & 0x80000000u) == 0) {
    hostBits = 0x00FFFFFFu;
  } else if ((address & 0xC0000000u) == 0x80000000u) {
    hostBits = 0x0000FFFFu;
  } else if ((address & 0xE0000000u) == 0xC0000000u) {
    hostBits = 0x000000FFu;
  }
  if (hostBits != 0 && (address | hostBits) == address) return false;
  return (address | ~mask) != address;
}

void BuildSetRequest(ExchangeContext* context) {
  ConfigHeader& header = context->request.header;
  header = ConfigHeader{};
  std::copy(std::begin(CONFIG_MAGIC), std::end(CONFIG_MAGIC), header.magic);
  header.headerCode = HEADER_CODE;
  header.flags = static_cast<uint8_t>(context->requestFlags | FLAG_REQUEST);
  header.operation = OP_SET;
  std::memcpy(header.mac, context->request.info.mac, MAC_SIZE);

  uint8_t* payload = context->sendBuffer + CONFIG_HEADER_SIZE;
  const size_t payloadLength = EncodeRecord(context->request.info, payload);
  header.checkWord = ConfigCrc16(payload, payloadLength);
  CryptPayload(header.checkWord, payload, payload, payloadLength);
  EncodeConfigHeader(header, context->sendBuffer);
  context->requestLength = CONFIG_HEADER_SIZE + payloadLength;
}

namespace {

// The exchange of both entry points, after the mode has been checked: `routes` empty sends
// the request to info->replyAddress (mode 1) or 255.255.255.255 (mode 0).
int RunWrite(int mode, const std::vector<DatagramRoute>& routes, PrinterInfo* info,
             const uint8_t password[PASSWORD_SIZE], int* error) {
  *error = CheckRecord(*info);
  if (*error != 0) return -1;
  SubstitutePassword(info, password);

  const SocketHandle socket = OpenConfigSocket(error);
  if (socket == INVALID_SOCKET_HANDLE) return -1;

  auto context = std::make_unique<ExchangeContext>();
  context->operation = OP_SET;
  context->capacity = MAX_PRINTERS;
  context->request.info = *info;
  uint32_t destination = LIMITED_BROADCAST_ADDRESS;
  if (mode == WRITE_MODE_DIRECTED) {
    destination = info->replyAddress;
    context->requestFlags = FLAG_DIRECTED;
  }
  BuildSetRequest(context.get());

  const int sendError = SendRequestAlong(
      socket, *context, routes.empty() ? std::vector<DatagramRoute>{{destination, {}}} : routes);
  if (sendError != 0) {
    *error = sendError;
    CloseSocket(socket);
    SocketCleanup();
    return -1;
  }

  int result = -1;
  uint8_t datagram[RECEIVE_BUFFER_SIZE];
  for (;;) {
    if (WaitReadable(socket, WRITE_REPLY_WAIT_MS) != 1) {
      *error = SET_ERR_NO_RESPONSE;
      break;
    }
    uint32_t source = 0;
    const long received = ReceiveDatagram(socket, datagram, sizeof datagram, &source, nullptr);
    ParseReply(context.get(), source, datagram, received);
    if (context->resultCount > 0 &&
        std::memcmp(context->reply.info.mac, info->mac, MAC_SIZE) == 0) {
      *info = context->reply.info;
      result = 1;
      break;
    }
    // A datagram too long for the buffer was dropped like any other that is not the answer.
    if (received == RECEIVE_FAILED) {
      *error = SET_ERR_NO_RESPONSE;
      break;
    }
  }
  // The printer answers a wrong password with its unchanged record and status 2.
  if (TargetRefusedPassword(context->reply.header, context->request.info.mac)) {
    result = -1;
    *error = SET_ERR_PASSWORD;
  }
  CloseSocket(socket);
  SocketCleanup();
  return result;
}

}  // namespace

int WritePrinterSettings(int mode, PrinterInfo* info, const uint8_t password[PASSWORD_SIZE],
                         int* error) {
  if (mode != WRITE_MODE_BROADCAST && mode != WRITE_MODE_DIRECTED) {
    *error = EINVAL;
    return -1;
  }
  return RunWrite(mode, {}, info, password, error);
}

int WritePrinterSettingsAlong(const std::vector<DatagramRoute>& routes, PrinterInfo* info,
                              const uint8_t password[PASSWORD_SIZE], int* error) {
  if (routes.empty()) {
    *error = EINVAL;
    return -1;
  }
  return RunWrite(WRITE_MODE_BROADCAST, routes, info, password, error);
}
