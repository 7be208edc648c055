// The test page: five text lines with a printer's MAC address, IP address, subnet mask,
// gateway and port, then the paper-cut command, sent as plain bytes to its print port.
// The Korean lines are code page 949 bytes, their labels 16 bytes wide; the English labels
// are 12 characters wide. Line building is pure; sending blocks. Not thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tcp/tcp_link.h"

// GS V 66 0: feed to the cutting position and cut.
constexpr uint8_t CUT_COMMAND[4] = {0x1D, 0x56, 0x42, 0x00};
constexpr size_t PAGE_LINE_MAX = 63;  // a line's bytes fit a 64-byte buffer with its NUL

struct TestPageValues {
  std::string macText;  // "00:1A:2B:3C:4D:5E", or as a text-protocol printer sent it
  uint32_t ipAddress;   // first octet in the most significant byte
  uint32_t subnetMask;
  uint32_t gateway;
  unsigned port;
};

// The five lines, each ending in "\r\n", without terminators.
std::vector<std::string> BuildTestPageLines(const TestPageValues& values, bool korean);

// Sends the five lines and the cut command, one send each. Stops at the first short send.
// Returns true when all six went out whole. Closes the link in every case.
[[nodiscard]] bool SendTestPage(CTcpLink* link, const std::vector<std::string>& lines);
