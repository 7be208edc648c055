// The 32-byte header that opens every configuration-protocol datagram (UDP port 50005),
// request or reply, and the protocol's constants. Pure codec; thread-safe.
//
//   0-3   magic 2A 76 4E 01 (big-endian)
//   4     header code 0x10 in requests; not examined in replies
//   5     flags: 0x01 request, 0x02 directed, 0x80 reply
//   6     operation: 1 search, 2 directed search, 3 settings write
//   7     status: 0 in requests; 2 in a reply = password mismatch
//   8-9   check word: ConfigCrc16 of the plaintext payload, little-endian (0 without one)
//   10-15 hardware address: the target's in a write, zero in a search, the replier's in a reply
//   16-31 reserved, zero
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint16_t CONFIG_PORT = 50005;
constexpr uint8_t CONFIG_MAGIC[4] = {0x2A, 0x76, 0x4E, 0x01};
constexpr uint8_t HEADER_CODE = 0x10;

constexpr uint8_t FLAG_REQUEST = 0x01;
constexpr uint8_t FLAG_DIRECTED = 0x02;
constexpr uint8_t FLAG_REPLY = 0x80;

constexpr uint8_t OP_SEARCH = 1;
constexpr uint8_t OP_SEARCH_DIRECTED = 2;
constexpr uint8_t OP_SET = 3;

constexpr uint8_t STATUS_PASSWORD_MISMATCH = 2;

constexpr size_t CONFIG_HEADER_SIZE = 32;
constexpr size_t MAC_SIZE = 6;

struct ConfigHeader {
  uint8_t magic[4];
  uint8_t headerCode;
  uint8_t flags;
  uint8_t operation;
  uint8_t status;
  uint16_t checkWord;  // host order; little-endian on the wire
  uint8_t mac[MAC_SIZE];
  uint8_t reserved[16];
};

// Writes the header's 32 wire bytes to `out`.
void EncodeConfigHeader(const ConfigHeader& header, uint8_t out[CONFIG_HEADER_SIZE]);
// Reads a header from 32 wire bytes.
ConfigHeader DecodeConfigHeader(const uint8_t in[CONFIG_HEADER_SIZE]);
