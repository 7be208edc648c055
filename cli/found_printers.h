// The printers a netvora-cli search found, as the verbs use them: configuration-protocol
// records and text-protocol replies, each with the interface it answered on, looked up by
// MAC address, and their network settings in one form for both families. Pure.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "operations/text_message.h"
#include "protocol/printer_info.h"

struct FoundConfig {
  PrinterInfo record;
  std::string interfaceName;  // "" when not known
};

struct FoundText {
  std::string reply;  // the information reply's 128 characters
  std::string interfaceName;
};

struct FoundPrinters {
  std::vector<FoundConfig> configs;  // sorted by MAC
  std::vector<FoundText> texts;      // one per printer, in the order they first answered

  bool Empty() const { return configs.empty() && texts.empty(); }
};

// A printer's network settings, either family: addresses in network order; `dhcp` only for
// text-protocol printers, which have the switch.
struct PrinterValues {
  uint32_t ip = 0;
  uint32_t mask = 0;
  uint32_t gateway = 0;
  uint16_t port = 0;
  std::optional<bool> dhcp;

  bool operator==(const PrinterValues& other) const {
    return ip == other.ip && mask == other.mask && gateway == other.gateway && port == other.port &&
           dhcp == other.dhcp;
  }
};

PrinterValues ValuesOf(const PrinterInfo& record);
PrinterValues ValuesOf(const TextInfo& info);

// Sorts records by hardware address, ascending, comparing bytes as unsigned values.
void SortByMac(std::vector<FoundConfig>* records);

// The found printer with that MAC, or nullptr; a text printer's MAC text is compared
// without regard to the case of its letters.
const FoundConfig* FindConfig(const FoundPrinters& found, const uint8_t mac[6]);
const FoundText* FindText(const FoundPrinters& found, const uint8_t mac[6]);
