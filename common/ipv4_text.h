// IPv4 addresses as dotted text, in both directions, for the socket calls and the tools'
// command lines. Pure functions; thread-safe.
#pragma once

#include <cstdint>

// Dotted text of an address in network byte order ("198.51.100.2").
void FormatIpv4(uint32_t address, char text[16]);
// Parses dotted text into network byte order; false unless it is four decimal numbers, each
// at most 255.
[[nodiscard]] bool ParseIpv4(const char* text, uint32_t* address);
