// Hardware (MAC) addresses as text: six pairs of hexadecimal digits joined by ":". Pure;
// thread-safe.
#pragma once

#include <cstdint>
#include <string>

// "02:00:00:00:00:0A": upper-case digits.
std::string FormatMac(const uint8_t mac[6]);

// Reads "02:00:00:00:00:0a" (either case); false unless the text is exactly that shape.
[[nodiscard]] bool ParseMac(const std::string& text, uint8_t mac[6]);
