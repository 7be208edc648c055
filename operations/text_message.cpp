#include "operations/text_message.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/checksum32.h"

namespace {

// A message of filler whose check digits are still to be written.
std::string FillerMessage(unsigned seed) {
  std::srand(seed);
  std::string message(TEXT_MESSAGE_SIZE, ' ');
  for (size_t i = TEXT_BODY_OFFSET; i < TEXT_MESSAGE_SIZE; ++i) {
    message[i] = static_cast<char>(std::rand() % 96 + 32);
  }
  return message;
}

void Put(std::string* message, size_t position, const std::string& text) {
  message->replace(position, text.size(), text);
}

std::string AddressDigits(uint32_t address) {
  char text[9];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X", (address >> 24) & 0xFF,
                (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF);
  return text;
}

// The port as an information reply carries it: the low byte's two digits, then the high's.
std::string ReplyPortDigits(uint16_t port) {
  char text[5];
  std::snprintf(text, sizeof text, "%02X%02X", port & 0xFF, port >> 8);
  return text;
}

void PutSettings(std::string* message, const TextSettings& settings,
                 const std::string& portDigits) {
  Put(message, TXT_POS_IP, AddressDigits(settings.ipAddress));
  Put(message, TXT_POS_MASK, AddressDigits(settings.subnetMask));
  Put(message, TXT_POS_GATEWAY, AddressDigits(settings.gateway));
  Put(message, TXT_POS_PORT, portDigits);
  (*message)[TXT_POS_DHCP] = settings.dhcp ? '1' : '0';
}

std::string CheckDigits(const std::string& message, bool upperCase) {
  const uint32_t sum = Checksum32(
      reinterpret_cast<const uint8_t*>(message.data()) + TEXT_BODY_OFFSET, TEXT_BODY_SIZE);
  char digits[9];
  std::snprintf(digits, sizeof digits, upperCase ? "%08X" : "%08x", sum);
  return digits;
}

std::string Seal(std::string message, bool upperCase) {
  Put(&message, 0, CheckDigits(message, upperCase));
  return message;
}

bool HasCheckDigits(const uint8_t* data, size_t length, bool upperCase) {
  if (length < TEXT_MESSAGE_SIZE) return false;
  const std::string message(reinterpret_cast<const char*>(data), TEXT_MESSAGE_SIZE);
  return message.compare(0, 8, CheckDigits(message, upperCase)) == 0;
}

uint32_t DecodeAddress(const std::string& message, size_t position) {
  uint8_t bytes[4];
  HexToBytes(message.data() + position, bytes, 8);
  return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
         bytes[3];
}

// Characters compare as signed bytes, so one above 127 is below every digit.
bool AtLeast(char c, char digit) {
  return static_cast<signed char>(c) >= static_cast<signed char>(digit);
}

}  // namespace

void HexToBytes(const char* text, uint8_t* out, size_t n) {
  const auto nibble = [](char c) -> uint8_t {
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
    return 0;
  };
  for (size_t i = 0; i + 1 < n; i += 2) {
    out[i / 2] = static_cast<uint8_t>((nibble(text[i]) << 4) | nibble(text[i + 1]));
  }
}

std::string BuildTextSearch(unsigned seed) {
  std::string message = FillerMessage(seed);
  Put(&message, TXT_POS_CODE, TXT_SEARCH);
  return Seal(message, false);
}

std::string BuildTextSearchMac(const std::string& macDigits, unsigned seed) {
  std::string message = FillerMessage(seed);
  Put(&message, TXT_POS_CODE, TXT_SEARCH_MAC);
  Put(&message, TXT_POS_MAC, macDigits.substr(0, 12));
  return Seal(message, false);
}

std::string BuildTextSet(const TextSettings& settings, unsigned seed) {
  std::string message = FillerMessage(seed);
  Put(&message, TXT_POS_CODE, TXT_SET);
  Put(&message, TXT_POS_MAC, settings.macDigits.substr(0, 12));
  char port[5];
  std::snprintf(port, sizeof port, "%04X", settings.port);
  PutSettings(&message, settings, port);
  return Seal(message, false);
}

std::string BuildTextInfo(const TextSettings& settings, const std::string& version, unsigned seed) {
  std::string message = FillerMessage(seed);
  Put(&message, TXT_POS_CODE, TXT_INFO);
  Put(&message, TXT_POS_MAC, settings.macDigits.substr(0, 12));
  PutSettings(&message, settings, ReplyPortDigits(settings.port));
  if (version.size() == 4) {  // "M.mm" as " M.mm0"
    Put(&message, TXT_POS_VERSION, " " + version + "0");
  } else {
    message[TXT_POS_VERSION] = 'x';  // no version: position 60 is not a space
  }
  return Seal(message, true);
}

std::string BuildTextSetAck(const std::string& macDigits, unsigned seed) {
  std::string message = FillerMessage(seed);
  Put(&message, TXT_POS_CODE, TXT_SET_ACK);
  Put(&message, TXT_POS_MAC, macDigits.substr(0, 12));
  return Seal(message, true);
}

bool IsValidTextReply(const uint8_t* data, size_t length) {
  return HasCheckDigits(data, length, true);
}

bool IsValidTextRequest(const uint8_t* data, size_t length) {
  return HasCheckDigits(data, length, false);
}

std::string TextMessageCode(const std::string& message) { return message.substr(TXT_POS_CODE, 2); }

TextInfo DecodeTextInfo(const std::string& reply) {
  TextInfo info{};
  for (int pair = 0; pair < 6; ++pair) {
    if (pair > 0) info.macText += ':';
    info.macText += reply.substr(TXT_POS_MAC + 2 * pair, 2);
  }
  info.ipAddress = DecodeAddress(reply, TXT_POS_IP);
  info.subnetMask = DecodeAddress(reply, TXT_POS_MASK);
  info.gateway = DecodeAddress(reply, TXT_POS_GATEWAY);
  uint8_t port[2];
  HexToBytes(reply.data() + TXT_POS_PORT, port, 4);
  info.port = static_cast<uint16_t>(port[0] | (port[1] << 8));
  info.dhcp = reply[TXT_POS_DHCP] == '1';
  const char* v = reply.data() + TXT_POS_VERSION;
  info.hasVersion = v[0] == ' ' && v[5] == '0';
  if (info.hasVersion) info.version = std::string{v[0], v[1], '.', v[3], v[4]};
  info.dhcpSupported =
      AtLeast(v[1], '2') && (AtLeast(v[3], '1') || (AtLeast(v[3], '0') && AtLeast(v[4], '5')));
  return info;
}

TextSettings DecodeTextSet(const std::string& request) {
  TextSettings settings{};
  settings.macDigits = request.substr(TXT_POS_MAC, 12);
  settings.ipAddress = DecodeAddress(request, TXT_POS_IP);
  settings.subnetMask = DecodeAddress(request, TXT_POS_MASK);
  settings.gateway = DecodeAddress(request, TXT_POS_GATEWAY);
  uint8_t port[2];
  HexToBytes(request.data() + TXT_POS_PORT, port, 4);
  settings.port = static_cast<uint16_t>((port[0] << 8) | port[1]);
  settings.dhcp = request[TXT_POS_DHCP] == '1';
  return settings;
}

std::string EditStoredReply(const std::string& stored, const TextSettings& settings) {
  std::string edited = stored;
  PutSettings(&edited, settings, ReplyPortDigits(settings.port));
  return edited;
}
