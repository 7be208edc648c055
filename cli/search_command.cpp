#include "cli/search_command.h"

#include <cstring>
#include <memory>

#include "cli/option_parser.h"
#include "cli/printer_rows.h"
#include "protocol/discovery.h"

namespace {

constexpr const char* SEARCH_HELP =
    "Usage: netvora-cli search [--json]\n"
    "Broadcasts a search on the local network and lists every printer interface that\n"
    "answers within the quiet time, sorted by MAC address.\n"
    "  --json   print one JSON array of objects (family, mac, ip, mask, gateway, port,\n"
    "           model) instead of a table\n"
    "Exit status: 0 printers found, 1 none found, 2 bad usage or local failure.\n";

}  // namespace

bool SearchConfigPrinters(std::vector<PrinterInfo>* found, std::ostream& err) {
  auto table = std::make_unique<PrinterInfo[]>(MAX_PRINTERS);
  int count = 0;
  int error = 0;
  if (SearchPrinters(SEARCH_MODE_BROADCAST, 0, table.get(), &count, &error) != 1) {
    err << "netvora-cli: cannot search on UDP port " << CONFIG_PORT << ": "
        << std::strerror(error) << "\n";
    return false;
  }
  found->assign(table.get(), table.get() + count);
  SortByMac(found);
  return true;
}

int RunSearch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedOptions options;
  std::string error;
  if (!ParseOptions(args, {{"--json", false}}, &options, &error)) {
    err << "netvora-cli search: " << error << "\n";
    return EXIT_USAGE;
  }
  if (options.Has("--help")) {
    out << SEARCH_HELP;
    return EXIT_FOUND;
  }
  std::vector<PrinterInfo> found;
  if (!SearchConfigPrinters(&found, err)) return EXIT_USAGE;
  if (options.Has("--json")) {
    PrintConfigJson(found, out);
  } else if (!found.empty()) {
    PrintConfigTable(found, out);
  }
  if (found.empty()) {
    err << "netvora-cli: no printer found\n";
    return EXIT_NOT_FOUND;
  }
  return EXIT_FOUND;
}
