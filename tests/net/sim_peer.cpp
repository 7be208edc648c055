#include "tests/net/sim_peer.h"

#include <cstdio>
#include <future>
#include <type_traits>

#include "operations/text_exchange.h"
#include "protocol/exchange.h"
#include "sim/sim_options.h"
#include "tcp/download_header.h"

namespace {

// A service's serving loop on a socket, reporting a failed socket; the loop ends with `stop`.
template <typename Service>
std::function<void(SocketHandle)> ServeUntil(Service* service, const std::atomic<bool>& stop) {
  return [service, &stop](SocketHandle socket) {
    if constexpr (std::is_void_v<decltype(service->Serve(socket, stop))>) {
      service->Serve(socket, stop);
    } else if (!service->Serve(socket, stop)) {
      std::fprintf(stderr, "simulator: its socket failed\n");
    }
  };
}

// Opens a TCP listener on `port` of any address.
std::function<SocketHandle(int*)> ListenOn(uint16_t port) {
  return [port](int* error) {
    uint16_t bound = 0;
    const SocketHandle listener = ListenTcp(0, port, &bound);
    *error = listener == INVALID_SOCKET_HANDLE ? LastSocketError() : 0;
    return listener;
  };
}

}  // namespace

std::unique_ptr<SimPeer> SimPeer::Launch(const std::vector<std::string>& args, std::string* why,
                                         bool* noLab) {
  *noLab = false;
  SimOptions options;
  if (!ParseSimOptions(args, &options, why)) {
    *why = "simulator arguments: " + *why;
    return nullptr;
  }
  std::unique_ptr<SimPeer> peer(new SimPeer);
  peer->m_pLab = NetnsLab::Create(why);
  if (!peer->m_pLab) {
    *noLab = true;
    return nullptr;
  }
  peer->m_pService =
      std::make_unique<ConfigService>(std::move(options.printers), options.serviceFaults, nullptr);
  const std::atomic<bool>& stop = peer->m_bStop;
  if (!peer->Serve(OpenConfigSocket, ServeUntil(peer->m_pService.get(), stop), "configuration",
                   why)) {
    return nullptr;
  }
  if (!options.textPrinters.empty()) {
    peer->m_pText = std::make_unique<TextService>(std::move(options.textPrinters),
                                                  options.serviceFaults.strayDatagram, nullptr);
    if (!peer->Serve(OpenTextSocket, ServeUntil(peer->m_pText.get(), stop), "text", why)) {
      return nullptr;
    }
  }
  if (options.download) {
    peer->m_pDownload = std::make_unique<DownloadService>(options.downloadFaults);
    if (!peer->Serve(ListenOn(DOWNLOAD_PORT), ServeUntil(peer->m_pDownload.get(), stop), "download",
                     why)) {
      return nullptr;
    }
  }
  if (options.printPort != 0) {
    peer->m_pPrint = std::make_unique<PrintService>();
    if (!peer->Serve(ListenOn(options.printPort), ServeUntil(peer->m_pPrint.get(), stop), "print",
                     why)) {
      return nullptr;
    }
  }
  if (!peer->m_pLab->EnterClient()) {
    *why = "cannot enter the client namespace";
    return nullptr;
  }
  return peer;
}

bool SimPeer::Serve(const std::function<SocketHandle(int*)>& open,
                    const std::function<void(SocketHandle)>& serve, const std::string& what,
                    std::string* why) {
  std::promise<int> bound;
  std::future<int> boundResult = bound.get_future();
  m_threads.emplace_back([this, open, serve, &bound] {
    if (!m_pLab->EnterPrinter()) {
      bound.set_value(-1);
      return;
    }
    int openError = 0;
    const SocketHandle socket = open(&openError);
    bound.set_value(socket == INVALID_SOCKET_HANDLE ? (openError != 0 ? openError : -1) : 0);
    if (socket == INVALID_SOCKET_HANDLE) return;
    serve(socket);
    CloseSocket(socket);
  });
  const int openError = boundResult.get();
  if (openError == 0) return true;
  *why = "the simulator's " + what +
         " service cannot enter its namespace or open its socket: " + std::to_string(openError);
  return false;
}

std::unique_ptr<SimPeer> SimPeer::Start(const std::vector<std::string>& args) {
  std::string why;
  bool noLab = false;
  auto peer = Launch(args, &why, &noLab);
  if (peer) return peer;
  if (noLab && !LabRequired()) {
    std::fprintf(stderr, "skipping network test: %s\n", why.c_str());
  } else {
    ADD_FAILURE() << why;
  }
  return nullptr;
}

SimPeer::~SimPeer() {
  m_bStop.store(true);
  for (std::thread& thread : m_threads) thread.join();
}

std::vector<SimTextPrinter> SimPeer::TextPrinters() const {
  return m_pText ? m_pText->Printers() : std::vector<SimTextPrinter>();
}

std::vector<DownloadRecord> SimPeer::Downloads() const {
  return m_pDownload ? m_pDownload->Downloads() : std::vector<DownloadRecord>();
}

std::vector<std::string> SimPeer::Pages() const {
  return m_pPrint ? m_pPrint->Pages() : std::vector<std::string>();
}

uint32_t Ipv4(const char* text) {
  uint32_t address = 0;
  EXPECT_TRUE(ParseIpv4(text, &address)) << text;
  return address;
}
