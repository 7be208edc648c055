// PrinterInfo: one configuration-protocol printer interface as the protocol reads and
// writes it. A plain record, owned by value and copied whole; PrinterInfo{} is the zero
// record that every decode starts from. Fields whose meaning the system does not use are
// opaque bytes, decoded, kept and sent back unchanged.
#pragma once

#include <cstdint>

#include "protocol/config_header.h"

constexpr uint16_t MODEL_EXPRESSION = 16;
constexpr uint16_t MODEL_BLOCK38 = 19;

constexpr int CHANNEL_COUNT = 4;
constexpr int EXPRESSION_COUNT_MAX = 8;
constexpr int EXPRESSION_SIZE = 64;
constexpr int PASSWORD_SIZE = 10;

struct ChannelEntry {
  uint8_t data[12];  // first little-endian 32-bit word: a bit field (bits 10, 11 used by Save)
  uint32_t present;  // 1 when a reply carried the entry
};

struct ChannelSettings {
  uint8_t settings[20];  // channel 0: bytes 8-9 the TCP print port, little-endian
  uint8_t text[64];
  uint32_t present;  // 1 when a reply carried the settings
};

struct PrinterInfo {
  uint8_t mac[MAC_SIZE];
  uint8_t identityTail[6];
  uint32_t ipAddress;  // network byte order, as are the other addresses
  uint32_t subnetMask;
  uint32_t gateway;
  uint8_t block8Text[32];
  uint8_t block8Words[16];  // 4 x 32-bit, kept as they travel
  uint32_t replyAddress;    // source of the datagram that delivered the record
  uint32_t extraAddress;
  uint16_t modelCode;
  ChannelEntry channels[CHANNEL_COUNT];
  ChannelSettings channelSettings[CHANNEL_COUNT];
  uint8_t word5[4];
  uint8_t bytes33[6];
  uint8_t bytes34[8];
  uint8_t text7[64];
  uint8_t password[PASSWORD_SIZE];  // all zero: no password
  uint8_t password2[PASSWORD_SIZE];
  uint8_t auxCount;
  uint8_t expressionCount;
  uint8_t expressions[EXPRESSION_COUNT_MAX][EXPRESSION_SIZE];
  uint8_t expressionText[64];
  uint8_t exprControl[56];  // word 0 LE: flags; 12-13 rangeBase1, 14-15 rangeBase2 (LE)
  uint32_t hasExpressionBlock;
  uint8_t block38[24];
  uint32_t hasBlock38;
};

// The print port of channel 0 (settings bytes 8-9, little-endian).
uint16_t GetPrintPort(const PrinterInfo& info);
void SetPrintPort(PrinterInfo* info, uint16_t port);

// The bit-field word of a channel entry (data bytes 0-3, little-endian).
uint32_t GetChannelWord(const PrinterInfo& info, int channel);
void SetChannelWord(PrinterInfo* info, int channel, uint32_t word);

// exprControl: bit 1 of its first word asks for the expressions to be checked before a
// write; rangeBase1 and rangeBase2 are its bytes 12-13 and 14-15.
bool ExpressionCheckRequested(const PrinterInfo& info);
uint16_t GetRangeBase1(const PrinterInfo& info);
uint16_t GetRangeBase2(const PrinterInfo& info);

// Orders two records by hardware address, byte by byte as unsigned values; negative, zero
// or positive as memcmp.
int CompareMac(const PrinterInfo& a, const PrinterInfo& b);
