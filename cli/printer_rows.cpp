#include "cli/printer_rows.h"

#include <cstdio>
#include <cstring>

#include "cli/csv.h"
#include "common/byte_reader.h"
#include "common/mac_text.h"
#include "common/socket_port.h"

namespace {

std::string DottedHost(uint32_t hostOrder) { return Dotted(HostToNetwork32(hostOrder)); }

// The version without its leading space: "2.05".
std::string VersionText(const TextInfo& info) {
  return info.hasVersion ? info.version.substr(1) : "";
}

// Text made safe for an output: printable ASCII stays as it came, with a backslash before
// each character of `special`; every other byte is written with `byteFormat`. Whatever a
// printer sends, no control character or stray quote gets through.
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

std::string JsonInterface(const std::string& name) {
  return name.empty() ? std::string("null") : JsonString(name);
}

// Text for the table, other bytes as \xNN.
std::string TableText(const std::string& text) { return Escaped(text, "\\", "\\x%02X"); }

void PrintRow(std::ostream& out, const std::string& mac, const std::string& ip,
              const std::string& mask, const std::string& gateway, unsigned port,
              const std::string& interfaceName, const std::string& family) {
  char line[512];  // room for escaped printer text
  std::snprintf(line, sizeof line, "%-17s  %-15s  %-15s  %-15s  %-5u  %-9s  %s\n", mac.c_str(),
                ip.c_str(), mask.c_str(), gateway.c_str(), port,
                interfaceName.empty() ? "-" : TableText(interfaceName).c_str(), family.c_str());
  out << line;
}

}  // namespace

std::string JsonString(const std::string& text) {
  return "\"" + Escaped(text, "\"\\", "\\u%04x") + "\"";
}

std::string Dotted(uint32_t networkOrder) {
  char text[16];
  FormatIpv4(networkOrder, text);
  return text;
}

void PrintPrinterTable(const FoundPrinters& found, std::ostream& out) {
  char heading[160];
  std::snprintf(heading, sizeof heading, "%-17s  %-15s  %-15s  %-15s  %-5s  %-9s  %s\n", "MAC",
                "IP address", "Subnet mask", "Gateway", "Port", "Interface", "Family");
  out << heading;
  for (const FoundConfig& config : found.configs) {
    const PrinterInfo& record = config.record;
    PrintRow(out, FormatMac(record.mac), Dotted(record.ipAddress), Dotted(record.subnetMask),
             Dotted(record.gateway), GetPrintPort(record), config.interfaceName, "config");
  }
  for (const FoundText& text : found.texts) {
    const TextInfo info = DecodeTextInfo(text.reply);
    std::string family = std::string("text, DHCP ") + (info.dhcp ? "on" : "off");
    if (info.hasVersion) family += ", F/W " + TableText(VersionText(info));
    PrintRow(out, TableText(info.macText), DottedHost(info.ipAddress), DottedHost(info.subnetMask),
             DottedHost(info.gateway), info.port, text.interfaceName, family);
  }
}

void PrintPrinterJson(const FoundPrinters& found, std::ostream& out) {
  const char* separator = "\n";
  out << "[";
  for (const FoundConfig& config : found.configs) {
    const PrinterInfo& record = config.record;
    out << separator << "  {\"family\": \"config\", \"mac\": \"" << FormatMac(record.mac)
        << "\", \"ip\": \"" << Dotted(record.ipAddress) << "\", \"mask\": \""
        << Dotted(record.subnetMask) << "\", \"gateway\": \"" << Dotted(record.gateway)
        << "\", \"port\": " << GetPrintPort(record) << ", \"model\": " << record.modelCode
        << ", \"interface\": " << JsonInterface(config.interfaceName) << "}";
    separator = ",\n";
  }
  for (const FoundText& text : found.texts) {
    const TextInfo info = DecodeTextInfo(text.reply);
    out << separator << "  {\"family\": \"text\", \"mac\": " << JsonString(info.macText)
        << ", \"ip\": \"" << DottedHost(info.ipAddress) << "\", \"mask\": \""
        << DottedHost(info.subnetMask) << "\", \"gateway\": \"" << DottedHost(info.gateway)
        << "\", \"port\": " << info.port << ", \"dhcp\": " << (info.dhcp ? "true" : "false")
        << ", \"firmware\": "
        << (info.hasVersion ? JsonString(VersionText(info)) : std::string("null"))
        << ", \"interface\": " << JsonInterface(text.interfaceName) << "}";
    separator = ",\n";
  }
  out << (found.Empty() ? "]\n" : "\n]\n");
}

void PrintPrinterCsv(const FoundPrinters& found, std::ostream& out) {
  out << CsvRecord(
      {"family", "mac", "ip", "mask", "gateway", "port", "model", "dhcp", "firmware", "interface"});
  for (const FoundConfig& config : found.configs) {
    const PrinterInfo& record = config.record;
    out << CsvRecord({"config", FormatMac(record.mac), Dotted(record.ipAddress),
                      Dotted(record.subnetMask), Dotted(record.gateway),
                      std::to_string(GetPrintPort(record)), std::to_string(record.modelCode), "",
                      "", config.interfaceName});
  }
  for (const FoundText& text : found.texts) {
    const TextInfo info = DecodeTextInfo(text.reply);
    out << CsvRecord({"text", info.macText, DottedHost(info.ipAddress), DottedHost(info.subnetMask),
                      DottedHost(info.gateway), std::to_string(info.port), "",
                      info.dhcp ? "on" : "off", VersionText(info), text.interfaceName});
  }
}
