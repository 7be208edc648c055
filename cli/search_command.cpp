#include "cli/search_command.h"

#include <cstring>
#include <memory>

#include "cli/exit_codes.h"
#include "cli/option_parser.h"
#include "common/clock.h"
#include "common/mac_text.h"
#include "operations/text_exchange.h"
#include "operations/text_message.h"
#include "protocol/discovery.h"

namespace {

constexpr const char* SEARCH_HELP =
    "Usage: netvora-cli search [--mac MAC] [--json]\n"
    "Searches the local network for printer interfaces of both families and lists them:\n"
    "configuration-protocol printers sorted by MAC address, then text-protocol printers\n"
    "in the order they answered.\n"
    "  --mac MAC   ask only the text-protocol printer with this address\n"
    "  --json      print one JSON array of objects instead of a table\n"
    "Exit status: 0 printers found, 1 none found, 2 bad usage or local failure.\n";

}  // namespace

bool SearchAllPrinters(const std::string* macDigits, FoundPrinters* found, std::ostream& err) {
  int error = 0;
  const SocketHandle textSocket = OpenTextSocket(&error);
  if (textSocket == INVALID_SOCKET_HANDLE) {
    err << "netvora-cli: cannot use UDP port " << TEXT_PORT << ": " << std::strerror(error) << "\n";
    return false;
  }
  const unsigned seed = MillisecondClock();
  const std::string request =
      macDigits ? BuildTextSearchMac(*macDigits, seed) : BuildTextSearch(seed);
  error = SendTextMessage(textSocket, request, LIMITED_BROADCAST_ADDRESS);
  if (error != 0) {
    err << "netvora-cli: cannot broadcast on UDP port " << TEXT_PORT << ": " << std::strerror(error)
        << "\n";
    CloseSocket(textSocket);
    return false;
  }
  bool ran = true;
  if (macDigits == nullptr) {
    auto table = std::make_unique<PrinterInfo[]>(MAX_PRINTERS);
    int count = 0;
    if (SearchPrinters(SEARCH_MODE_BROADCAST, 0, table.get(), &count, &error) == 1) {
      found->configs.assign(table.get(), table.get() + count);
      SortByMac(&found->configs);
    } else {
      err << "netvora-cli: cannot search on UDP port " << CONFIG_PORT << ": "
          << std::strerror(error) << "\n";
      ran = false;
    }
  }
  // Text replies that came during the configuration search wait in the socket.
  if (ran) found->textReplies = CollectTextReplies(textSocket, TXT_INFO, TEXT_SEARCH_QUIET_MS);
  CloseSocket(textSocket);
  return ran;
}

int RunSearch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedOptions options;
  std::string error;
  if (!ParseOptions(args, {{"--json", false}, {"--mac", true}}, &options, &error)) {
    err << "netvora-cli search: " << error << "\n";
    return EXIT_USAGE;
  }
  if (options.Has("--help")) {
    out << SEARCH_HELP;
    return EXIT_FOUND;
  }
  std::string macDigits;
  if (options.Has("--mac")) {
    uint8_t mac[6];
    if (!ParseMac(options.values["--mac"], mac)) {
      err << "netvora-cli search: bad MAC address '" << options.values["--mac"] << "'\n";
      return EXIT_USAGE;
    }
    macDigits = MacDigitsOf(options.values["--mac"]);
  }
  FoundPrinters found;
  if (!SearchAllPrinters(macDigits.empty() ? nullptr : &macDigits, &found, err)) return EXIT_USAGE;
  if (options.Has("--json")) {
    PrintPrinterJson(found, out);
  } else if (!found.Empty()) {
    PrintPrinterTable(found, out);
  }
  if (found.Empty()) {
    err << "netvora-cli: no printer found\n";
    return EXIT_NOT_FOUND;
  }
  return EXIT_FOUND;
}
