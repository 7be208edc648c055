// netvora-cli: finds and sets up printer interfaces from scripts, without a window.
#include <iostream>
#include <string>
#include <vector>

#include "cli/apply_command.h"
#include "cli/exit_codes.h"
#include "cli/flash_command.h"
#include "cli/search_command.h"
#include "cli/set_command.h"
#include "cli/test_print_command.h"
#include "common/socket_port.h"
#include "netvora_version.h"

namespace {

constexpr const char* USAGE =
    "Usage: netvora-cli VERB [options]\n"
    "Finds the printer interfaces on the local network and sets them up.\n"
    "Verbs:\n"
    "  search       list the printers that answer a search\n"
    "  set          change one printer's IP address, mask, gateway, port or DHCP switch\n"
    "  apply        set up many printers from a plan file (CSV), with a dry run\n"
    "  flash        download a firmware file into printers, several at once\n"
    "  test-print   print a test page with a printer's network settings\n"
    "'netvora-cli VERB --help' describes each verb; 'netvora-cli --version' gives the\n"
    "version.\n";

struct Verb {
  const char* name;
  int (*run)(const std::vector<std::string>&, std::ostream&, std::ostream&);
};

constexpr Verb VERBS[] = {{"search", RunSearch},
                          {"set", RunSet},
                          {"apply", RunApply},
                          {"flash", RunFlash},
                          {"test-print", RunTestPrint}};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    (args.empty() ? std::cerr : std::cout) << USAGE;
    return args.empty() ? EXIT_USAGE : EXIT_FOUND;
  }
  if (args[0] == "--version") {
    std::cout << "netvora-cli " NETVORA_VERSION "\n";
    return EXIT_FOUND;
  }
  for (const Verb& verb : VERBS) {
    if (args[0] == verb.name) {
      // The sockets library is held for the whole run, as the window holds it for its own:
      // on Windows the text protocol's socket needs it.
      int socketError = 0;
      if (!SocketStartup(1, 1, &socketError)) {
        std::cerr << "netvora-cli: the sockets library does not start (error " << socketError
                  << ")\n";
        return EXIT_USAGE;
      }
      const int status =
          verb.run(std::vector<std::string>(args.begin() + 1, args.end()), std::cout, std::cerr);
      SocketCleanup();
      return status;
    }
  }
  std::cerr << "netvora-cli: unknown verb '" << args[0] << "'\n" << USAGE;
  return EXIT_USAGE;
}
