// The firmware download's 32-byte header and replies (TCP port 26600). Pure codecs; the
// filler comes from the standard library's generator (srand/rand, process-wide state).
//
// Header: 0 0x02 | 1 0x20 | 2-6 random 1..255 | 7-11 bytes 2-6 XOR the handshake mask |
//         12-19 image length "%08x" | 20-27 Checksum32 of the image "%08x" |
//         28-31 Checksum32 of bytes 0-27, least significant byte first
// Reply:  0 0x02 | 1 R | 6 R XOR mask byte 0 | 11 status: 0x02 ready, 0x06 ACK, 0x15 NAK
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

constexpr uint16_t DOWNLOAD_PORT = 26600;
constexpr size_t DOWNLOAD_HEADER_SIZE = 32;
constexpr size_t DOWNLOAD_REPLY_SIZE = 32;
constexpr size_t FILE_BODY_MAX = 0x180000;  // 1,572,864 bytes: the largest image sent
// The handshake mask shared with the printers' download service: the ASCII text "TALVO".
constexpr uint8_t HANDSHAKE_MASK[5] = {'T', 'A', 'L', 'V', 'O'};

constexpr uint8_t REPLY_READY = 0x02;
constexpr uint8_t REPLY_ACK = 0x06;
constexpr uint8_t REPLY_NAK = 0x15;

using DownloadHeader = std::array<uint8_t, DOWNLOAD_HEADER_SIZE>;
using DownloadReply = std::array<uint8_t, DOWNLOAD_REPLY_SIZE>;

// The header for an image: every byte drawn as rand() % 255 + 1 after srand(seed), then
// all but bytes 2..6 overwritten.
DownloadHeader BuildDownloadHeader(const uint8_t* image, size_t length, unsigned seed);

// The printer's side: true when the header is whole (mask and both checksums agree), with
// the announced image length and checksum.
[[nodiscard]] bool ParseDownloadHeader(const uint8_t* header, size_t count, uint32_t* imageLength,
                                       uint32_t* imageChecksum);

// A reply with `status`, its other bytes filler from srand(seed).
DownloadReply BuildDownloadReply(uint8_t status, unsigned seed);

// True when `count` bytes received form a reply: exactly 32, byte 0 0x02, byte 6 = byte 1
// XOR mask byte 0. *status receives byte 11.
[[nodiscard]] bool IsDownloadReply(const uint8_t* reply, long count, uint8_t* status);
