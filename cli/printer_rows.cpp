#include "cli/printer_rows.h"

#include <algorithm>
#include <cstdio>

#include "common/mac_text.h"
#include "common/socket_port.h"

namespace {

std::string Dotted(uint32_t address) {
  char text[16];
  FormatIpv4(address, text);
  return text;
}

}  // namespace

void SortByMac(std::vector<PrinterInfo>* records) {
  std::sort(records->begin(), records->end(),
            [](const PrinterInfo& a, const PrinterInfo& b) { return CompareMac(a, b) < 0; });
}

void PrintConfigTable(const std::vector<PrinterInfo>& records, std::ostream& out) {
  char line[128];
  std::snprintf(line, sizeof line, "%-17s  %-15s  %-15s  %-15s  %s\n", "MAC", "IP address",
                "Subnet mask", "Gateway", "Port");
  out << line;
  for (const PrinterInfo& record : records) {
    std::snprintf(line, sizeof line, "%-17s  %-15s  %-15s  %-15s  %u\n",
                  FormatMac(record.mac).c_str(), Dotted(record.ipAddress).c_str(),
                  Dotted(record.subnetMask).c_str(), Dotted(record.gateway).c_str(),
                  GetPrintPort(record));
    out << line;
  }
}

void PrintConfigJson(const std::vector<PrinterInfo>& records, std::ostream& out) {
  out << "[";
  for (size_t i = 0; i < records.size(); ++i) {
    const PrinterInfo& record = records[i];
    out << (i == 0 ? "\n" : ",\n") << "  {\"family\": \"config\", \"mac\": \""
        << FormatMac(record.mac) << "\", \"ip\": \"" << Dotted(record.ipAddress)
        << "\", \"mask\": \"" << Dotted(record.subnetMask) << "\", \"gateway\": \""
        << Dotted(record.gateway) << "\", \"port\": " << GetPrintPort(record)
        << ", \"model\": " << record.modelCode << "}";
  }
  out << (records.empty() ? "]\n" : "\n]\n");
}
