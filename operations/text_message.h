// TextMessage: the 128-character ASCII datagram of the text protocol (UDP port 27700):
// building requests and replies, accepting replies, decoding and editing their fields.
// Pure functions, except that the filler comes from the standard library's generator
// (srand/rand), whose state is process-wide: call from one thread.
//
//   0-7     check digits: Checksum32 of bytes 8..127, "%08x" in requests, "%08X" in replies
//   8-9     code: "00" search, "01" search by MAC, "10" set; "20" info, "21" set ack
//   10-21   MAC, twelve hex digits          22-29  IP address, eight hex digits, first octet first
//   30-37   subnet mask                     38-45  gateway
//   46-49   port: "%04X" in a set; low byte's digits then high byte's in an info reply
//   50      DHCP "1" on                     60-65  info only: version " M.mm0" (61, 63, 64)
//   others  filler: rand() % 96 + 32 after srand(seed)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint16_t TEXT_PORT = 27700;
constexpr size_t TEXT_MESSAGE_SIZE = 128;
constexpr size_t TEXT_BODY_OFFSET = 8;
constexpr size_t TEXT_BODY_SIZE = 120;

constexpr const char* TXT_SEARCH = "00";
constexpr const char* TXT_SEARCH_MAC = "01";
constexpr const char* TXT_SET = "10";
constexpr const char* TXT_INFO = "20";
constexpr const char* TXT_SET_ACK = "21";

// Positions in the whole message.
constexpr size_t TXT_POS_CODE = 8;
constexpr size_t TXT_POS_MAC = 10;
constexpr size_t TXT_POS_IP = 22;
constexpr size_t TXT_POS_MASK = 30;
constexpr size_t TXT_POS_GATEWAY = 38;
constexpr size_t TXT_POS_PORT = 46;
constexpr size_t TXT_POS_DHCP = 50;
constexpr size_t TXT_POS_VERSION = 60;

// The settings a set request carries; addresses with the first octet in the most
// significant byte.
struct TextSettings {
  std::string macDigits;  // twelve hexadecimal digits, sent as they are
  uint32_t ipAddress;
  uint32_t subnetMask;
  uint32_t gateway;
  uint16_t port;
  bool dhcp;
};

// The fields of an information reply.
struct TextInfo {
  std::string macText;  // "aa:bb:cc:dd:ee:ff" in the case the printer sent
  uint32_t ipAddress;   // first octet in the most significant byte
  uint32_t subnetMask;
  uint32_t gateway;
  uint16_t port;
  bool dhcp;
  bool hasVersion;
  std::string version;  // " 2.05" when hasVersion
  bool dhcpSupported;   // firmware 2.05 or later, digit by digit
};

// Decodes n characters (n even) into n / 2 bytes, the first of each pair giving the high
// four bits; a character that is not a hexadecimal digit counts as 0.
void HexToBytes(const char* text, uint8_t* out, size_t n);

// Requests: lower-case check digits.
std::string BuildTextSearch(unsigned seed);
std::string BuildTextSearchMac(const std::string& macDigits, unsigned seed);
std::string BuildTextSet(const TextSettings& settings, unsigned seed);

// Replies, as printers send them: upper-case check digits. `version` is "M.mm" or empty.
std::string BuildTextInfo(const TextSettings& settings, const std::string& version, unsigned seed);
std::string BuildTextSetAck(const std::string& macDigits, unsigned seed);

// True when the datagram is a reply: at least 128 bytes whose first 8 equal "%08X" of the
// Checksum32 of bytes 8..127 (exactly: lower-case digits do not count).
[[nodiscard]] bool IsValidTextReply(const uint8_t* data, size_t length);
// True when the datagram is a request as the window sends it (lower-case check digits).
[[nodiscard]] bool IsValidTextRequest(const uint8_t* data, size_t length);

// The decoders read only the first 128 characters of their text; a shorter text is not a
// message and gives an empty result, without reading past its end.

// The two code characters of a message, or "" when it has fewer than 10 characters.
[[nodiscard]] std::string TextMessageCode(const std::string& message);

// The fields of an information reply; all zero and empty for a text of fewer than 128
// characters.
[[nodiscard]] TextInfo DecodeTextInfo(const std::string& reply);
// The settings of a set request; all zero and empty for a text of fewer than 128 characters.
[[nodiscard]] TextSettings DecodeTextSet(const std::string& request);

// A stored information reply edited as a save leaves it: the addresses, the port (in the
// reply's order, low byte first) and the DHCP character replaced; everything else kept.
// A text of fewer than 128 characters is returned unchanged.
std::string EditStoredReply(const std::string& stored, const TextSettings& settings);
