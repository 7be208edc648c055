#include "cli/test_print_command.h"

#include "cli/exit_codes.h"
#include "cli/found_printers.h"
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
    "Usage: netvora-cli test-print --mac MAC [--korean] [--interface NAME]...\n"
    "Searches the local network and prints a test page with the network settings of the\n"
    "printer with that MAC address on its print port, then cuts the paper.\n"
    "  --korean           Korean labels (code page 949) instead of English\n"
    "  --interface NAME   search out of this interface only (repeatable)\n"
    "Exit status: 0 page sent, 1 printer not found or not reachable, 2 bad usage.\n";

// The page's values for the printer with that MAC, from either family's answer.
bool FindPageValues(const FoundPrinters& found, const uint8_t mac[6], TestPageValues* values) {
  if (const FoundConfig* config = FindConfig(found, mac)) {
    const PrinterInfo& record = config->record;
    *values = {FormatMac(record.mac), NetworkToHost32(record.ipAddress),
               NetworkToHost32(record.subnetMask), NetworkToHost32(record.gateway),
               GetPrintPort(record)};
    return true;
  }
  if (const FoundText* text = FindText(found, mac)) {
    const TextInfo info = DecodeTextInfo(text->reply);
    *values = {info.macText, info.ipAddress, info.subnetMask, info.gateway, info.port};
    return true;
  }
  return false;
}

}  // namespace

int RunTestPrint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedOptions options;
  std::string error;
  const bool parsed = ParseOptions(args,
                                   {{"--mac", OptionKind::kValue},
                                    {"--korean", OptionKind::kFlag},
                                    {"--interface", OptionKind::kRepeatable}},
                                   &options, &error);
  if (parsed && options.Has("--help")) {
    out << TEST_PRINT_HELP;
    return EXIT_FOUND;
  }
  uint8_t mac[6];
  if (parsed && (!options.Has("--mac") || !ParseMac(options.values["--mac"], mac))) {
    error = "--mac MAC is required, as 02:00:00:00:00:01";
  }
  SendScope scope;
  if (!error.empty() || !ReadSendScope(options, &scope, &error)) {
    err << "netvora-cli test-print: " << error << "\n";
    return EXIT_USAGE;
  }
  FoundPrinters found;
  if (!SearchAllPrinters(scope, nullptr, &found, err)) return EXIT_USAGE;
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
