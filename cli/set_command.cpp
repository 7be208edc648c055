#include "cli/set_command.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "cli/exit_codes.h"
#include "cli/option_parser.h"
#include "cli/printer_rows.h"
#include "cli/search_command.h"
#include "common/byte_reader.h"
#include "common/clock.h"
#include "common/mac_text.h"
#include "common/socket_port.h"
#include "operations/text_exchange.h"
#include "operations/text_message.h"
#include "protocol/settings_edit.h"
#include "protocol/settings_write.h"

namespace {

constexpr const char* SET_HELP =
    "Usage: netvora-cli set --mac MAC [--ip A] [--mask M] [--gateway G] [--port P]\n"
    "                       [--password TEXT] [--dhcp on|off]\n"
    "Searches the local network, takes the printer with that MAC address, changes the\n"
    "settings given and stores them in the printer (either family).\n"
    "  --mac MAC        the printer, as 02:00:00:00:00:01\n"
    "  --ip A, --mask M, --gateway G   dotted IPv4 addresses\n"
    "  --port P         print port, 1024..50000\n"
    "  --password TEXT  configuration printers: the password, up to 10 bytes (default:\n"
    "                   the one the printer reported)\n"
    "  --dhcp on|off    text-protocol printers: the DHCP switch\n"
    "Exit status: 0 stored, 1 printer not found or refused, 2 bad usage or local failure.\n";

// What the command line asks for, checked before the network is touched.
struct SetRequest {
  uint8_t mac[6];
  std::optional<uint32_t> ip, mask, gateway;
  std::optional<uint16_t> port;
  std::optional<std::string> password;
  std::optional<bool> dhcp;
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
  const auto dhcp = options.values.find("--dhcp");
  if (dhcp != options.values.end()) {
    if (dhcp->second != "on" && dhcp->second != "off") {
      *error = "--dhcp takes on or off, not '" + dhcp->second + "'";
      return false;
    }
    request->dhcp = dhcp->second == "on";
  }
  return true;
}

// Writes a configuration-protocol printer as Save does.
int SetConfigPrinter(const SetRequest& request, PrinterInfo record, std::ostream& out,
                     std::ostream& err) {
  if (request.dhcp) {
    err << "netvora-cli set: --dhcp applies to text-protocol printers only\n";
    return EXIT_USAGE;
  }
  const NetworkSettings settings{
      request.ip.value_or(record.ipAddress), request.mask.value_or(record.subnetMask),
      request.gateway.value_or(record.gateway), request.port.value_or(GetPrintPort(record))};
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
    FoundPrinters stored;
    stored.configs.push_back(record);
    PrintPrinterTable(stored, out);
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

// Writes a text-protocol printer: the set request, then up to seven seconds for its ack.
int SetTextPrinter(const SetRequest& request, const std::string& reply, std::ostream& out,
                   std::ostream& err) {
  if (request.password) {
    err << "netvora-cli set: --password applies to configuration-protocol printers only\n";
    return EXIT_USAGE;
  }
  const auto host = [](const std::optional<uint32_t>& networkOrder, uint32_t current) {
    return networkOrder ? NetworkToHost32(*networkOrder) : current;
  };
  const TextInfo info = DecodeTextInfo(reply);
  const TextSettings settings{
      MacDigitsOf(info.macText),           host(request.ip, info.ipAddress),
      host(request.mask, info.subnetMask), host(request.gateway, info.gateway),
      request.port.value_or(info.port),    request.dhcp.value_or(info.dhcp)};
  int error = 0;
  const SocketHandle socket = OpenTextSocket(&error);
  if (socket == INVALID_SOCKET_HANDLE) {
    err << "netvora-cli: cannot use UDP port " << TEXT_PORT << ": " << std::strerror(error) << "\n";
    return EXIT_USAGE;
  }
  error = SendTextMessage(socket, BuildTextSet(settings, MillisecondClock()),
                          LIMITED_BROADCAST_ADDRESS);
  std::string ack;
  const bool acknowledged =
      error == 0 && WaitForTextReply(socket, TXT_SET_ACK, TEXT_SET_ACK_WAIT_MS, &ack);
  CloseSocket(socket);
  if (error != 0) {
    err << "Sever Socket failed to send: " << error << "\n";
    return EXIT_USAGE;
  }
  if (!acknowledged) {
    err << MSG_SAVE_ERROR << "\n";
    return EXIT_NOT_FOUND;
  }
  out << MSG_SAVE_COMPLETED << "\n";
  FoundPrinters stored;
  stored.textReplies.push_back(EditStoredReply(reply, settings));
  PrintPrinterTable(stored, out);
  return EXIT_FOUND;
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
                                    {"--password", true},
                                    {"--dhcp", true}},
                                   &options, &error);
  if (parsed && options.Has("--help")) {
    out << SET_HELP;
    return EXIT_FOUND;
  }
  if (!parsed || !ReadRequest(options, &request, &error)) {
    err << "netvora-cli set: " << error << "\n";
    return EXIT_USAGE;
  }

  FoundPrinters found;
  if (!SearchAllPrinters(nullptr, &found, err)) return EXIT_USAGE;
  const auto config = std::find_if(
      found.configs.begin(), found.configs.end(),
      [&](const PrinterInfo& record) { return std::memcmp(record.mac, request.mac, 6) == 0; });
  if (config != found.configs.end()) return SetConfigPrinter(request, *config, out, err);
  const std::string wanted = FormatMac(request.mac);
  for (const std::string& reply : found.textReplies) {
    if (SameMacText(DecodeTextInfo(reply).macText, wanted))
      return SetTextPrinter(request, reply, out, err);
  }
  err << MSG_CANNOT_FIND_MAC << "\n";
  return EXIT_NOT_FOUND;
}
