// The settings a user asks to change in one printer, as `set` reads them from its options
// and `apply` from a plan row: each value checked from its text, absent when it keeps the
// printer's own. Pure; thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/found_printers.h"

struct SettingsChange {
  uint8_t mac[6] = {};
  std::optional<uint32_t> ip, mask, gateway;  // network order
  std::optional<uint16_t> port;
  std::optional<bool> dhcp;
  std::optional<std::string> password;  // at most PASSWORD_SIZE bytes

  // The printer's values with this change made; a dhcp switch only where `current` has one.
  PrinterValues AppliedTo(const PrinterValues& current) const;
};

// Each reads one value from its text: false, with *error naming `what` and the text, when
// the text is not a value of its kind.
// "02:00:00:00:00:01", either case.
[[nodiscard]] bool ReadMacValue(const std::string& text, uint8_t mac[6], std::string* error);
// A dotted IPv4 address.
[[nodiscard]] bool ReadAddressValue(const std::string& what, const std::string& text,
                                    std::optional<uint32_t>* value, std::string* error);
// A print port, 1024..50000.
[[nodiscard]] bool ReadPortValue(const std::string& text, std::optional<uint16_t>* value,
                                 std::string* error);
// "on" or "off".
[[nodiscard]] bool ReadDhcpValue(const std::string& what, const std::string& text,
                                 std::optional<bool>* value, std::string* error);
// At most PASSWORD_SIZE bytes.
[[nodiscard]] bool ReadPasswordValue(const std::string& text, std::optional<std::string>* value,
                                     std::string* error);
