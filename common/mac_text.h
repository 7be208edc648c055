// Hardware (MAC) addresses as text: six pairs of hexadecimal digits joined by ":". Pure;
// thread-safe.
#pragma once

#include <cstdint>
#include <string>

// "02:00:00:00:00:0A": upper-case digits.
std::string FormatMac(const uint8_t mac[6]);

// Reads "02:00:00:00:00:0a" (either case); false unless the text is exactly that shape.
[[nodiscard]] bool ParseMac(const std::string& text, uint8_t mac[6]);

// The twelve hexadecimal digits of a "02:00:00:00:00:01" text, in their own case.
std::string MacDigitsOf(const std::string& macText);

// Whether two MAC texts name the same address, whatever the case of their letters.
bool SameMacText(const std::string& a, const std::string& b);
