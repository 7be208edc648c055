#include "operations/text_message.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/byte_reader.h"
#include "common/checksum32.h"

namespace {

// The 128 characters of a message read through the bounds-checked reader, or nullptr when
// the text is shorter: every decoder below reads its fields from these characters only.
const char* WholeMessage(const std::string& text) {
  ByteReader reader(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  return reinterpret_cast<const char*>(reader.Peek(TEXT_MESSAGE_SIZE));
}

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
  const uint8_t* bytes = ByteReader(data, length).Peek(TEXT_MESSAGE_SIZE);
  if (bytes == nullptr) return false;
  const std::string message(reinterpret_cast<const char*>(bytes), TEXT_MESSAGE_SIZE);
  return message.compare(0, 8, CheckDigits(message, upperCase)) == 0;
}

uint32_t DecodeAddress(const char* message, size_t position) {
  uint8_t bytes[4];
  HexToBytes(message + position, bytes, 8);
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

std::string TextMessageCode(const std::string& message) {
  ByteReader reader(reinterpret_cast<const uint8_t*>(message.data()), message.size());
  if (!reader.Skip(TXT_POS_CODE)) return "";
  const char* code = reinterpret_cast<const char*>(reader.Peek(2));
  return code != nullptr ? std::string(code, 2) : "";
}

TextInfo DecodeTextInfo(const std::string& reply) {
  TextInfo info{};
  const char* m = WholeMessage(reply);
  if (m == nullptr) return info;
  for (int pair = 0; pair < 6; ++pair) {
    if (pair > 0) info.macText += ':';
    info.macText.append(m + TXT_POS_MAC + 2 * pair, 2);
  }
  info.ipAddress = DecodeAddress(m, TXT_POS_IP);
  info.subnetMask = DecodeAddress(m, TXT_POS_MASK);
  info.gateway = DecodeAddress(m, TXT_POS_GATEWAY);
  uint8_t port[2];
  HexToBytes(m + TXT_POS_PORT, port, 4);
  info.port = static_cast<uint16_t>(port[0] | (port[1] << 8));
  info.dhcp = m[TXT_POS_DHCP] == '1';
  const char* v = m + TXT_POS_VERSION;
  info.hasVersion = v[0] == ' ' && v[5] == '0';
  if (info.hasVersion) info.version = std::string{v[0], v[1], '.', v[3], v[4]};
  info.dhcpSupported =
      AtLeast(v[1], '2') && (AtLeast(v[3], '1') || (AtLeast(v[3], '0') && AtLeast(v[4], '5')));
  return info;
}

TextSettings DecodeTextSet(const std::string& request) {
  TextSettings settings{};
  const char* m = WholeMessage(request);
  if (m == nullptr) return settings;
  settings.macDigits.assign(m + TXT_POS_MAC, 12);
  settings.ipAddress = DecodeAddress(m, TXT_POS_IP);
  settings.subnetMask = DecodeAddress(m, TXT_POS_MASK);
  settings.gateway = DecodeAddress(m, TXT_POS_GATEWAY);
  uint8_t port[2];
  HexToBytes(m + TXT_POS_PORT, port, 4);
  settings.port = static_cast<uint16_t>((port[0] << 8) | port[1]);
  settings.dhcp = m[TXT_POS_DHCP] == '1';
  return settings;
}

std::string EditStoredReply(const std::string& stored, const TextSettings& settings) {
  if (WholeMessage(stored) == nullptr) return stored;
  std::string edited = stored;
  PutSettings(&edited, settings, ReplyPortDigits(settings.port));
  return edited;
}
