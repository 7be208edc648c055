#include "cli/search_command.h"

#include <algorithm>
#include <atomic>
#include <future>

#include "cli/exit_codes.h"
#include "cli/option_parser.h"
#include "cli/printer_rows.h"
#include "common/clock.h"
#include "common/mac_text.h"
#include "operations/text_exchange.h"
#include "operations/text_message.h"
#include "protocol/discovery.h"

namespace {

constexpr const char* SEARCH_HELP =
    "Usage: netvora-cli search [--mac MAC] [--json | --csv] [--interface NAME]...\n"
    "                          [--to ADDRESS]...\n"
    "Searches for printer interfaces of both families and lists them: configuration-\n"
    "protocol printers sorted by MAC address, then text-protocol printers in the order\n"
    "they answered, each once, with the interface it answered on.\n"
    "  --mac MAC          ask only the text-protocol printer with this address\n"
    "  --json             print one JSON array of objects instead of a table\n"
    "  --csv              print CSV (RFC 4180) with a header row instead of a table\n"
    "  --interface NAME   broadcast out of this interface only (repeatable; default:\n"
    "                     every interface that is up and can broadcast)\n"
    "  --to ADDRESS       ask this address instead of broadcasting: a printer, or a\n"
    "                     subnet's broadcast address behind a router (repeatable)\n"
    "Exit status: 0 printers found, 1 none found, 2 bad usage or local failure.\n";

struct ConfigSearch {
  int result;
  int error;
  std::vector<FoundRecord> records;
};

// The text replies, each printer once: the first reply of each MAC text wins.
std::vector<FoundText> FirstReplyOfEach(const std::vector<TextReply>& replies,
                                        const SendScope& scope) {
  std::vector<FoundText> texts;
  for (const TextReply& reply : replies) {
    const std::string mac = DecodeTextInfo(reply.message).macText;
    const bool listed = std::any_of(texts.begin(), texts.end(), [&](const FoundText& text) {
      return SameMacText(DecodeTextInfo(text.reply).macText, mac);
    });
    if (!listed) texts.push_back({reply.message, scope.InterfaceName(reply.interfaceIndex)});
  }
  return texts;
}

}  // namespace

bool SearchAllPrinters(const SendScope& scope, const std::string* macDigits, FoundPrinters* found,
                       std::ostream& err) {
  int error = 0;
  const SocketHandle textSocket = OpenTextSocket(&error);
  if (textSocket == INVALID_SOCKET_HANDLE || !EnableArrivalInterface(textSocket)) {
    if (error == 0) error = LastSocketError();
    err << "netvora-cli: cannot use UDP port " << TEXT_PORT << ": " << SocketErrorText(error)
        << "\n";
    CloseSocket(textSocket);
    return false;
  }
  const std::vector<DatagramRoute> routes = scope.Routes();
  std::atomic<bool> configRunning{macDigits == nullptr};
  std::future<ConfigSearch> config;
  if (macDigits == nullptr) {
    config = std::async(std::launch::async, [&] {
      ConfigSearch search{0, 0, {}};
      const int mode = scope.Directed() ? SEARCH_MODE_DIRECTED : SEARCH_MODE_BROADCAST;
      search.result = SearchPrintersAlong(mode, routes, &search.records, &search.error);
      configRunning.store(false);
      return search;
    });
  }
  const unsigned seed = MillisecondClock();
  const std::string request =
      macDigits ? BuildTextSearchMac(*macDigits, seed) : BuildTextSearch(seed);
  error = SendTextMessageAlong(textSocket, request, routes);
  std::vector<TextReply> replies;
  if (error == 0) {
    replies = CollectTextReplies(textSocket, TXT_INFO, TEXT_SEARCH_QUIET_MS,
                                 [&] { return configRunning.load(); });
  }
  CloseSocket(textSocket);
  const ConfigSearch configs = config.valid() ? config.get() : ConfigSearch{1, 0, {}};
  if (error != 0) {
    err << "netvora-cli: cannot send on UDP port " << TEXT_PORT << ": " << SocketErrorText(error)
        << "\n";
    return false;
  }
  if (configs.result != 1) {
    err << "netvora-cli: cannot search on UDP port " << CONFIG_PORT << ": "
        << SocketErrorText(configs.error) << "\n";
    return false;
  }
  found->configs.clear();
  for (const FoundRecord& record : configs.records) {
    found->configs.push_back({record.info, scope.InterfaceName(record.interfaceIndex)});
  }
  SortByMac(&found->configs);
  found->texts = FirstReplyOfEach(replies, scope);
  return true;
}

int RunSearch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedOptions options;
  std::string error;
  const bool parsed = ParseOptions(args,
                                   {{"--json", OptionKind::kFlag},
                                    {"--csv", OptionKind::kFlag},
                                    {"--mac", OptionKind::kValue},
                                    {"--interface", OptionKind::kRepeatable},
                                    {"--to", OptionKind::kRepeatable}},
                                   &options, &error);
  if (parsed && options.Has("--help")) {
    out << SEARCH_HELP;
    return EXIT_FOUND;
  }
  if (parsed && options.Has("--json") && options.Has("--csv")) {
    error = "--json and --csv do not go together";
  }
  std::string macDigits;
  if (error.empty() && options.Has("--mac")) {
    uint8_t mac[6];
    if (ParseMac(options.values["--mac"], mac)) {
      macDigits = MacDigitsOf(options.values["--mac"]);
    } else {
      error = "bad MAC address '" + options.values["--mac"] + "'";
    }
  }
  SendScope scope;
  if (!error.empty() || !ReadSendScope(options, &scope, &error)) {
    err << "netvora-cli search: " << error << "\n";
    return EXIT_USAGE;
  }
  FoundPrinters found;
  if (!SearchAllPrinters(scope, macDigits.empty() ? nullptr : &macDigits, &found, err))
    return EXIT_USAGE;
  if (options.Has("--json")) {
    PrintPrinterJson(found, out);
  } else if (options.Has("--csv")) {
    PrintPrinterCsv(found, out);
  } else if (!found.Empty()) {
    PrintPrinterTable(found, out);
  }
  if (found.Empty()) {
    err << "netvora-cli: no printer found\n";
    return EXIT_NOT_FOUND;
  }
  return EXIT_FOUND;
}
