// printer-sim: plays the printers' side of the configuration protocol for tests and demos.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "protocol/exchange.h"
#include "sim/config_service.h"
#include "sim/sim_options.h"

namespace {

std::atomic<bool> g_bStop{false};

void RequestStop(int) { g_bStop.store(true); }

}  // namespace

int main(int argc, char** argv) {
  SimOptions options;
  std::string error;
  if (!ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    std::fprintf(stderr, "printer-sim: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(SimUsage(), stdout);
    return 0;
  }
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  int socketError = 0;
  const SocketHandle socket = OpenConfigSocket(&socketError);
  if (socket == INVALID_SOCKET_HANDLE) {
    std::fprintf(stderr, "printer-sim: cannot bind UDP port %u: %s\n", CONFIG_PORT,
                 std::strerror(socketError));
    return 2;
  }
  ConfigService service(std::move(options.printers), options.strangerOnWrite,
                        [](const PrinterInfo& stored) {
                          std::printf("stored %s\n", DescribePrinter(stored).c_str());
                          std::fflush(stdout);
                        });
  const bool served = service.Serve(socket, g_bStop);
  CloseSocket(socket);
  SocketCleanup();
  if (!served) {
    std::fprintf(stderr, "printer-sim: socket failed: %s\n", std::strerror(LastSocketError()));
    return 2;
  }
  return 0;
}
