#include "cli/set_command.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "cli/option_parser.h"
#include "cli/printer_rows.h"
#include "cli/search_command.h"
#include "common/mac_text.h"
#include "common/socket_port.h"
#include "protocol/settings_edit.h"
#include "protocol/settings_write.h"

namespace {

constexpr unsigned MIN_PRINT_PORT = 1024;
constexpr unsigned MAX_PRINT_PORT = 50000;

constexpr const char* SET_HELP =
    "Usage: netvora-cli set --mac MAC [--ip A] [--mask M] [--gateway G] [--port P]\n"
    "                       [--password TEXT]\n"
    "Searches the local network, takes the printer with that MAC address, changes the\n"
    "settings given and stores them in the printer.\n"
    "  --mac MAC        the printer, as 02:00:00:00:00:01\n"
    "  --ip A, --mask M, --gateway G   dotted IPv4 addresses\n"
    "  --port P         print port, 1024..50000\n"
    "  --password TEXT  the printer's password, up to 10 bytes (default: the one the\n"
    "                   printer reported)\n"
    "Exit status: 0 stored, 1 printer not found or refused, 2 bad usage or local failure.\n";

// What the command line asks for, checked before the network is touched.
struct SetRequest {
  uint8_t mac[6];
  std::optional<uint32_t> ip, mask, gateway;
  std::optional<uint16_t> port;
  std::optional<std::string> password;
};

bool ReadAddress(const ParsedOptions& options, const char* name, std::optional<uint32_t>* value,
                 std::string* error) {
  const auto it = options.values.find(name);
  if (it == options.values.end()) return true;
  uint32_t address = 0;
  if (!ParseIpv4(it->second.c_str(), &address)) {
    *error = std::string("bad address for ") + name + ": '" + it->second + "'";
    return false;
  }
  *value = address;
  return true;
}

bool ReadRequest(const ParsedOptions& options, SetRequest* request, std::string* error) {
  const auto mac = options.values.find("--mac");
  if (mac == options.values.end()) {
    *error = "--mac is required";
    return false;
  }
  if (!ParseMac(mac->second, request->mac)) {
    *error = "bad MAC address '" + mac->second + "'";
    return false;
  }
  if (!ReadAddress(options, "--ip", &request->ip, error) ||
      !ReadAddress(options, "--mask", &request->mask, error) ||
      !ReadAddress(options, "--gateway", &request->gateway, error)) {
    return false;
  }
  const auto port = options.values.find("--port");
  if (port != options.values.end()) {
    const std::string& text = port->second;
    const bool digits = !text.empty() && text.size() <= 5 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    const unsigned long number = digits ? std::stoul(text) : 0;
    if (number < MIN_PRINT_PORT || number > MAX_PRINT_PORT) {
      *error = "port must be a number from 1024 to 50000, not '" + text + "'";
      return false;
    }
    request->port = static_cast<uint16_t>(number);
  }
  const auto password = options.values.find("--password");
  if (password != options.values.end()) {
    if (password->second.size() > PASSWORD_SIZE) {
      *error = "the password has at most 10 bytes";
      return false;
    }
    request->password = password->second;
  }
  return true;
}

}  // namespace

int RunSet(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedOptions options;
  std::string error;
  SetRequest request{};
  const bool parsed = ParseOptions(args,
                                   {{"--mac", true},
                                    {"--ip", true},
                                    {"--mask", true},
                                    {"--gateway", true},
                                    {"--port", true},
                                    {"--password", true}},
                                   &options, &error);
  if (parsed && options.Has("--help")) {
    out << SET_HELP;
    return EXIT_FOUND;
  }
  if (!parsed || !ReadRequest(options, &request, &error)) {
    err << "netvora-cli set: " << error << "\n";
    return EXIT_USAGE;
  }

  std::vector<PrinterInfo> found;
  if (!SearchConfigPrinters(&found, err)) return EXIT_USAGE;
  const auto target = std::find_if(found.begin(), found.end(), [&](const PrinterInfo& record) {
    return std::memcmp(record.mac, request.mac, 6) == 0;
  });
  if (target == found.end()) {
    err << MSG_CANNOT_FIND_MAC << "\n";
    return EXIT_NOT_FOUND;
  }
  PrinterInfo record = *target;
  const NetworkSettings settings{request.ip.value_or(record.ipAddress),
                                 request.mask.value_or(record.subnetMask),
                                 request.gateway.value_or(record.gateway),
                                 request.port.value_or(GetPrintPort(record))};
  if (!ApplyNetworkSettings(&record, settings)) {
    err << MSG_WRONG_LOCAL_IP << "\n";
    return EXIT_USAGE;
  }
  uint8_t password[PASSWORD_SIZE] = {};
  if (request.password) {
    std::memcpy(password, request.password->data(), request.password->size());
  } else {
    std::memcpy(password, record.password, PASSWORD_SIZE);
  }
  int writeError = 0;
  if (WritePrinterSettings(WRITE_MODE_BROADCAST, &record, password, &writeError) == 1) {
    out << MSG_SAVE_COMPLETED << "\n";
    PrintConfigTable({record}, out);
    return EXIT_FOUND;
  }
  for (const std::string& message : WriteFailureMessages(writeError)) err << message << "\n";
  // Positive codes are the local socket's errors; the negative ones are the printer's.
  if (writeError > 0) {
    err << "netvora-cli: " << std::strerror(writeError) << "\n";
    return EXIT_USAGE;
  }
  return EXIT_NOT_FOUND;
}
