// printer-sim: plays the printers' side of every protocol for tests and demos.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "netvora_version.h"
#include "operations/text_exchange.h"
#include "protocol/exchange.h"
#include "sim/config_service.h"
#include "sim/sim_options.h"
#include "sim/tcp_services.h"
#include "sim/text_service.h"
#include "tcp/download_header.h"

namespace {

std::atomic<bool> g_bStop{false};
std::mutex g_outputMutex;

void RequestStop(int) { g_bStop.store(true); }

// One line on standard output, whole and at once, from any service's thread.
void PrintLine(const std::string& line) {
  std::lock_guard<std::mutex> lock(g_outputMutex);
  std::fwrite(line.data(), 1, line.size(), stdout);  // pages may hold NUL bytes
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string DescribeTextPrinter(const SimTextPrinter& printer) {
  const TextSettings& s = printer.settings;
  const auto dotted = [](uint32_t a) {
    return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." +
           std::to_string((a >> 8) & 0xFF) + "." + std::to_string(a & 0xFF);
  };
  return s.macDigits + " ip=" + dotted(s.ipAddress) + " mask=" + dotted(s.subnetMask) +
         " gateway=" + dotted(s.gateway) + " port=" + std::to_string(s.port) +
         " dhcp=" + (s.dhcp ? "on" : "off");
}

// Reports what failed with the error's text and stops every service.
int Fail(const char* what, const std::string& why) {
  std::fprintf(stderr, "printer-sim: cannot %s: %s\n", what, why.c_str());
  g_bStop.store(true);
  return 2;
}

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
  if (options.version) {
    std::puts("printer-sim " NETVORA_VERSION);
    return 0;
  }
  if (std::signal(SIGINT, RequestStop) == SIG_ERR || std::signal(SIGTERM, RequestStop) == SIG_ERR) {
    return Fail("install the signal handlers", std::strerror(errno));
  }

  std::vector<SocketHandle> sockets;
  std::vector<std::thread> threads;
  int status = 0;
  int socketError = 0;
  const auto stopAll = [&] {
    g_bStop.store(true);
    for (std::thread& thread : threads) thread.join();
    for (SocketHandle socket : sockets) CloseSocket(socket);
  };

  const SocketHandle configSocket = OpenConfigSocket(&socketError);
  if (configSocket == INVALID_SOCKET_HANDLE)
    return Fail("bind UDP port 50005", SocketErrorText(socketError));
  sockets.push_back(configSocket);
  ConfigService config(
      std::move(options.printers), options.serviceFaults,
      [](const PrinterInfo& stored) { PrintLine("stored " + DescribePrinter(stored)); });
  threads.emplace_back([&] {
    if (!config.Serve(configSocket, g_bStop))
      status = Fail("serve UDP port 50005", SocketErrorText(LastSocketError()));
  });

  TextService text(
      std::move(options.textPrinters), options.serviceFaults.strayDatagram,
      [](const SimTextPrinter& stored) { PrintLine("stored " + DescribeTextPrinter(stored)); });
  if (!text.Printers().empty()) {
    const SocketHandle textSocket = OpenTextSocket(&socketError);
    if (textSocket == INVALID_SOCKET_HANDLE) {
      stopAll();
      return Fail("bind UDP port 27700", SocketErrorText(socketError));
    }
    sockets.push_back(textSocket);
    threads.emplace_back([&, textSocket] {
      if (!text.Serve(textSocket, g_bStop))
        status = Fail("serve UDP port 27700", SocketErrorText(LastSocketError()));
    });
  }

  DownloadService download(options.downloadFaults);
  PrintService print;
  const struct {
    bool wanted;
    uint16_t port;
    std::function<void(SocketHandle)> serve;
  } tcpServices[] = {
      {options.download, DOWNLOAD_PORT, [&](SocketHandle s) { download.Serve(s, g_bStop); }},
      {options.printPort != 0, options.printPort, [&](SocketHandle s) { print.Serve(s, g_bStop); }},
  };
  for (const auto& service : tcpServices) {
    if (!service.wanted) continue;
    uint16_t bound = 0;
    const SocketHandle listener = ListenTcp(0, service.port, &bound);
    if (listener == INVALID_SOCKET_HANDLE) {
      const int listenError = LastSocketError();
      stopAll();
      return Fail(("listen on TCP port " + std::to_string(service.port)).c_str(),
                  SocketErrorText(listenError));
    }
    sockets.push_back(listener);
    threads.emplace_back([listener, serve = service.serve] { serve(listener); });
  }

  size_t printed = 0;
  while (!g_bStop.load()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::vector<std::string> pages = print.Pages();
    for (; printed < pages.size(); ++printed) {
      PrintLine("printed " + std::to_string(pages[printed].size()) + " bytes");
      PrintLine(pages[printed]);
    }
  }
  stopAll();
  return status;
}
