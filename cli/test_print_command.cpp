#include "cli/test_print_command.h"

#include <algorithm>
#include <cstring>

#include "cli/exit_codes.h"
#include "cli/option_parser.h"
#include "cli/search_command.h"
#include "common/byte_reader.h"
#include "common/mac_text.h"
#include "common/socket_port.h"
#include "operations/text_message.h"
#include "protocol/settings_edit.h"
#include "tcp/test_page.h"

namespace {

constexpr const char* TEST_PRINT_HELP =
    "Usage: netvora-cli test-print --mac MAC [--korean]\n"
    "Searches the local network and prints a test page with the network settings of the\n"
    "printer with that MAC address on its print port, then cuts the paper.\n"
    "  --korean   Korean labels (code page 949) instead of English\n"
    "Exit status: 0 page sent, 1 printer not found or not reachable, 2 bad usage.\n";

// The page's values for the printer with that MAC, from either family's answer.
bool FindPageValues(const FoundPrinters& found, const uint8_t mac[6], TestPageValues* values) {
  const auto config =
      std::find_if(found.configs.begin(), found.configs.end(),
                   [&](const PrinterInfo& record) { return std::memcmp(record.mac, mac, 6) == 0; });
  if (config != found.configs.end()) {
    *values = {FormatMac(config->mac), NetworkToHost32(config->ipAddress),
               NetworkToHost32(config->subnetMask), NetworkToHost32(config->gateway),
               GetPrintPort(*config)};
    return true;
  }
  for (const std::string& reply : found.textReplies) {
    const TextInfo info = DecodeTextInfo(reply);
    if (SameMacText(info.macText, FormatMac(mac))) {
      *values = {info.macText, info.ipAddress, info.subnetMask, info.gateway, info.port};
      return true;
    }
  }
  return false;
}

}  // namespace

int RunTestPrint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedOptions options;
  std::string error;
  if (!ParseOptions(args, {{"--mac", true}, {"--korean", false}}, &options, &error)) {
    err << "netvora-cli test-print: " << error << "\n";
    return EXIT_USAGE;
  }
  if (options.Has("--help")) {
    out << TEST_PRINT_HELP;
    return EXIT_FOUND;
  }
  uint8_t mac[6];
  if (!options.Has("--mac") || !ParseMac(options.values["--mac"], mac)) {
    err << "netvora-cli test-print: --mac MAC is required, as 02:00:00:00:00:01\n";
    return EXIT_USAGE;
  }
  FoundPrinters found;
  if (!SearchAllPrinters(nullptr, &found, err)) return EXIT_USAGE;
  TestPageValues values;
  if (!FindPageValues(found, mac, &values)) {
    err << MSG_CANNOT_FIND_MAC << "\n";
    return EXIT_NOT_FOUND;
  }
  char address[16];
  FormatIpv4(HostToNetwork32(values.ipAddress), address);
  CTcpLink link;
  const int connected = link.ConnectWithTimeout(address, static_cast<int>(values.port));
  if (connected != TCP_OK) {
    err << ConnectErrorText(connected, false) << " (" << address << ":" << values.port << ")\n";
    return EXIT_NOT_FOUND;
  }
  if (!SendTestPage(&link, BuildTestPageLines(values, options.Has("--korean")))) {
    err << "netvora-cli: the printer stopped taking the page\n";
    return EXIT_NOT_FOUND;
  }
  out << "test page sent to " << address << ":" << values.port << "\n";
  return EXIT_FOUND;
}
