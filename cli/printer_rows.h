// Rows of found printers as netvora-cli prints them: a text table or a JSON array, in the
// order the window lists them (sorted by hardware address). Pure.
#pragma once

#include <ostream>
#include <vector>

#include "protocol/printer_info.h"

// Sorts records by hardware address, ascending, comparing bytes as unsigned values.
void SortByMac(std::vector<PrinterInfo>* records);

// One line per record: MAC, IP address, subnet mask, gateway, port, under a heading.
void PrintConfigTable(const std::vector<PrinterInfo>& records, std::ostream& out);

// A JSON array of objects: family "config", mac, ip, mask, gateway, port, model.
void PrintConfigJson(const std::vector<PrinterInfo>& records, std::ostream& out);
