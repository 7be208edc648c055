#include "cli/printer_rows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/byte_reader.h"
#include "common/mac_text.h"
#include "common/socket_port.h"
#include "operations/text_message.h"

namespace {

std::string Dotted(uint32_t networkOrder) {
  char text[16];
  FormatIpv4(networkOrder, text);
  return text;
}

std::string DottedHost(uint32_t hostOrder) { return Dotted(HostToNetwork32(hostOrder)); }

// The version without its leading space: "2.05".
std::string VersionText(const TextInfo& info) {
  return info.hasVersion ? info.version.substr(1) : "";
}

// Printer-supplied text made safe for an output: printable ASCII stays as it came, with a
// backslash before each character of `special`; every other byte is written with
// `byteFormat`. Whatever a printer sends, no control character or stray quote gets through.
std::string Escaped(const std::string& text, const char* special, const char* byteFormat) {
  std::string escaped;
  for (char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      if (std::strchr(special, c) != nullptr) escaped += '\\';
      escaped += c;
    } else {
      char code[8];
      std::snprintf(code, sizeof code, byteFormat, static_cast<unsigned char>(c));
      escaped += code;
    }
  }
  return escaped;
}

// A JSON string with its quotes, in plain ASCII (other bytes read as Latin-1).
std::string JsonString(const std::string& text) {
  return "\"" + Escaped(text, "\"\\", "\\u%04x") + "\"";
}

// Text for the table, other bytes as \xNN.
std::string TableText(const std::string& text) { return Escaped(text, "\\", "\\x%02X"); }

void PrintRow(std::ostream& out, const std::string& mac, const std::string& ip,
              const std::string& mask, const std::string& gateway, unsigned port,
              const std::string& family) {
  char line[256];  // room for escaped printer text
  std::snprintf(line, sizeof line, "%-17s  %-15s  %-15s  %-15s  %-5u  %s\n", mac.c_str(),
                ip.c_str(), mask.c_str(), gateway.c_str(), port, family.c_str());
  out << line;
}

}  // namespace

void SortByMac(std::vector<PrinterInfo>* records) {
  std::sort(records->begin(), records->end(),
            [](const PrinterInfo& a, const PrinterInfo& b) { return CompareMac(a, b) < 0; });
}

void PrintPrinterTable(const FoundPrinters& found, std::ostream& out) {
  char heading[160];
  std::snprintf(heading, sizeof heading, "%-17s  %-15s  %-15s  %-15s  %-5s  %s\n", "MAC",
                "IP address", "Subnet mask", "Gateway", "Port", "Family");
  out << heading;
  for (const PrinterInfo& record : found.configs) {
    PrintRow(out, FormatMac(record.mac), Dotted(record.ipAddress), Dotted(record.subnetMask),
             Dotted(record.gateway), GetPrintPort(record), "config");
  }
  for (const std::string& reply : found.textReplies) {
    const TextInfo info = DecodeTextInfo(reply);
    std::string family = std::string("text, DHCP ") + (info.dhcp ? "on" : "off");
    if (info.hasVersion) family += ", F/W " + TableText(VersionText(info));
    PrintRow(out, TableText(info.macText), DottedHost(info.ipAddress), DottedHost(info.subnetMask),
             DottedHost(info.gateway), info.port, family);
  }
}

void PrintPrinterJson(const FoundPrinters& found, std::ostream& out) {
  const char* separator = "\n";
  out << "[";
  for (const PrinterInfo& record : found.configs) {
    out << separator << "  {\"family\": \"config\", \"mac\": \"" << FormatMac(record.mac)
        << "\", \"ip\": \"" << Dotted(record.ipAddress) << "\", \"mask\": \""
        << Dotted(record.subnetMask) << "\", \"gateway\": \"" << Dotted(record.gateway)
        << "\", \"port\": " << GetPrintPort(record) << ", \"model\": " << record.modelCode << "}";
    separator = ",\n";
  }
  for (const std::string& reply : found.textReplies) {
    const TextInfo info = DecodeTextInfo(reply);
    out << separator << "  {\"family\": \"text\", \"mac\": " << JsonString(info.macText)
        << ", \"ip\": \"" << DottedHost(info.ipAddress) << "\", \"mask\": \""
        << DottedHost(info.subnetMask) << "\", \"gateway\": \"" << DottedHost(info.gateway)
        << "\", \"port\": " << info.port << ", \"dhcp\": " << (info.dhcp ? "true" : "false")
        << ", \"firmware\": "
        << (info.hasVersion ? JsonString(VersionText(info)) : std::string("null")) << "}";
    separator = ",\n";
  }
  out << (found.Empty() ? "]\n" : "\n]\n");
}
