#include "tests/net/sim_peer.h"

#include <cstdio>
#include <future>

#include "operations/text_exchange.h"
#include "protocol/exchange.h"
#include "sim/sim_options.h"

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
  peer->m_pService = std::make_unique<ConfigService>(std::move(options.printers),
                                                     options.serviceFaults, nullptr);
  if (!peer->Serve(peer->m_pService.get(), OpenConfigSocket, "configuration", why)) return nullptr;
  if (!options.textPrinters.empty()) {
    peer->m_pText = std::make_unique<TextService>(std::move(options.textPrinters),
                                                   options.serviceFaults.strayDatagram, nullptr);
    if (!peer->Serve(peer->m_pText.get(), OpenTextSocket, "text", why)) return nullptr;
  }
  if (!peer->m_pLab->EnterClient()) {
    *why = "cannot enter the client namespace";
    return nullptr;
  }
  return peer;
}

template <typename Service>
bool SimPeer::Serve(Service* service, SocketHandle (*open)(int*), const char* what,
                    std::string* why) {
  std::promise<int> bound;
  std::future<int> boundResult = bound.get_future();
  m_threads.emplace_back([this, service, open, &bound] {
    if (!m_pLab->EnterPrinter()) {
      bound.set_value(-1);
      return;
    }
    int bindError = 0;
    const SocketHandle socket = open(&bindError);
    bound.set_value(bindError);
    if (socket == INVALID_SOCKET_HANDLE) return;
    if (!service->Serve(socket, m_bStop)) std::fprintf(stderr, "simulator: its socket failed\n");
    CloseSocket(socket);
  });
  const int bindError = boundResult.get();
  if (bindError == 0) return true;
  *why = std::string("the simulator's ") + what +
         " service cannot enter its namespace or bind its port: " + std::to_string(bindError);
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

uint32_t Ipv4(const char* text) {
  uint32_t address = 0;
  EXPECT_TRUE(ParseIpv4(text, &address)) << text;
  return address;
}
