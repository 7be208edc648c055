// Rows of found printers as netvora-cli prints them, in the order the window lists them:
// configuration-protocol printers sorted by MAC, then text-protocol printers in the order
// their replies arrived. A text table or a JSON array. Pure.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "protocol/printer_info.h"

struct FoundPrinters {
  std::vector<PrinterInfo> configs;      // sorted by MAC
  std::vector<std::string> textReplies;  // information replies, in arrival order

  bool Empty() const { return configs.empty() && textReplies.empty(); }
};

// Sorts records by hardware address, ascending, comparing bytes as unsigned values.
void SortByMac(std::vector<PrinterInfo>* records);

// Text that a printer supplies (a text printer's MAC and version characters) is escaped in
// both outputs, so that any byte it sends leaves them well-formed and printable ASCII.

// One line per printer: MAC, IP address, subnet mask, gateway, port, family, and for text
// printers DHCP and firmware version; bytes outside printable ASCII shown as \xNN and a
// backslash doubled.
void PrintPrinterTable(const FoundPrinters& found, std::ostream& out);

// A JSON array of objects. Configuration printers: family "config", mac, ip, mask,
// gateway, port, model. Text printers: family "text", mac (as sent), ip, mask, gateway,
// port, dhcp, firmware (version text or null); other bytes than printable ASCII as
// \u00XX, read as Latin-1.
void PrintPrinterJson(const FoundPrinters& found, std::ostream& out);
