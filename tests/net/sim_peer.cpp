#include "tests/net/sim_peer.h"

#include <future>

#include "protocol/exchange.h"
#include "sim/sim_options.h"

std::unique_ptr<SimPeer> SimPeer::Start(const std::vector<std::string>& args) {
  SimOptions options;
  std::string error;
  if (!ParseSimOptions(args, &options, &error)) {
    ADD_FAILURE() << "simulator arguments: " << error;
    return nullptr;
  }
  std::unique_ptr<SimPeer> peer(new SimPeer);
  peer->m_pLab = CreateLabOrSkip();
  if (!peer->m_pLab) return nullptr;
  peer->m_pService =
      std::make_unique<ConfigService>(std::move(options.printers), options.serviceFaults, nullptr);
  std::promise<int> bound;
  std::future<int> boundResult = bound.get_future();
  SimPeer* self = peer.get();
  peer->m_thread = std::thread([self, &bound] {
    if (!self->m_pLab->EnterPrinter()) {
      bound.set_value(-1);
      return;
    }
    int bindError = 0;
    const SocketHandle socket = OpenConfigSocket(&bindError);
    bound.set_value(bindError);
    if (socket == INVALID_SOCKET_HANDLE) return;
    EXPECT_TRUE(self->m_pService->Serve(socket, self->m_bStop));
    CloseSocket(socket);
  });
  const int bindError = boundResult.get();
  if (bindError != 0) {
    ADD_FAILURE() << "simulator cannot enter its namespace or bind its port: " << bindError;
    return nullptr;
  }
  if (!peer->m_pLab->EnterClient()) {
    ADD_FAILURE() << "cannot enter the client namespace";
    return nullptr;
  }
  return peer;
}

SimPeer::~SimPeer() {
  m_bStop.store(true);
  if (m_thread.joinable()) m_thread.join();
}

uint32_t Ipv4(const char* text) {
  uint32_t address = 0;
  EXPECT_TRUE(ParseIpv4(text, &address)) << text;
  return address;
}
