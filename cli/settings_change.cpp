#include "cli/settings_change.h"

#include "common/mac_text.h"
#include "common/socket_port.h"
#include "protocol/settings_edit.h"

PrinterValues SettingsChange::AppliedTo(const PrinterValues& current) const {
  PrinterValues wanted = current;
  wanted.ip = ip.value_or(current.ip);
  wanted.mask = mask.value_or(current.mask);
  wanted.gateway = gateway.value_or(current.gateway);
  wanted.port = port.value_or(current.port);
  if (current.dhcp) wanted.dhcp = dhcp.value_or(*current.dhcp);
  return wanted;
}

bool ReadMacValue(const std::string& text, uint8_t mac[6], std::string* error) {
  if (ParseMac(text, mac)) return true;
  *error = "bad MAC address '" + text + "'";
  return false;
}

bool ReadAddressValue(const std::string& what, const std::string& text,
                      std::optional<uint32_t>* value, std::string* error) {
  uint32_t address = 0;
  if (!ParseIpv4(text.c_str(), &address)) {
    *error = "bad address for " + what + ": '" + text + "'";
    return false;
  }
  *value = address;
  return true;
}

bool ReadPortValue(const std::string& text, std::optional<uint16_t>* value, std::string* error) {
  const bool digits = !text.empty() && text.size() <= 5 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  const unsigned long number = digits ? std::stoul(text) : 0;
  if (number < MIN_PRINT_PORT || number > MAX_PRINT_PORT) {
    *error = "port must be a number from 1024 to 50000, not '" + text + "'";
    return false;
  }
  *value = static_cast<uint16_t>(number);
  return true;
}

bool ReadDhcpValue(const std::string& what, const std::string& text, std::optional<bool>* value,
                   std::string* error) {
  if (text != "on" && text != "off") {
    *error = what + " takes on or off, not '" + text + "'";
    return false;
  }
  *value = text == "on";
  return true;
}

bool ReadPasswordValue(const std::string& text, std::optional<std::string>* value,
                       std::string* error) {
  if (text.size() > PASSWORD_SIZE) {
    *error = "the password has at most 10 bytes";
    return false;
  }
  *value = text;
  return true;
}
