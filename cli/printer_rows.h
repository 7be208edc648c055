// Rows of found printers as netvora-cli prints them, in the order the window lists them:
// configuration-protocol printers sorted by MAC, then text-protocol printers in the order
// their replies arrived. A text table, a JSON array or CSV. Pure.
#pragma once

#include <ostream>
#include <string>

#include "cli/found_printers.h"

// Text that a printer supplies (a text printer's MAC and version characters) and interface
// names are escaped in the table and in JSON, so that any byte they hold leaves them
// well-formed and printable ASCII; CSV quotes them and keeps every byte.

// One line per printer: MAC, IP address, subnet mask, gateway, port, interface, family, and
// for text printers DHCP and firmware version; bytes outside printable ASCII shown as \xNN
// and a backslash doubled.
void PrintPrinterTable(const FoundPrinters& found, std::ostream& out);

// A JSON array of objects. Configuration printers: family "config", mac, ip, mask,
// gateway, port, model, interface. Text printers: family "text", mac (as sent), ip, mask,
// gateway, port, dhcp, firmware (version text or null), interface. interface is null when
// not known; other bytes than printable ASCII as \u00XX, read as Latin-1.
void PrintPrinterJson(const FoundPrinters& found, std::ostream& out);

// CSV as RFC 4180 writes it: the header row family,mac,ip,mask,gateway,port,model,dhcp,
// firmware,interface, then one row per printer (model empty for text printers, dhcp "on" or
// "off" and firmware empty for configuration printers), CRLF line ends.
void PrintPrinterCsv(const FoundPrinters& found, std::ostream& out);

// A JSON string with its quotes, in plain ASCII (other bytes read as Latin-1).
std::string JsonString(const std::string& text);
// Dotted text of an address in network order.
std::string Dotted(uint32_t networkOrder);
