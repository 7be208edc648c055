#include "bench/plain_send.h"

#include <sys/socket.h>

#include <algorithm>
#include <chrono>

#include "tcp/download_header.h"

namespace {

constexpr uint32_t POLL_MS = 100;

}  // namespace

PlainSink::PlainSink(uint32_t address, uint16_t port)
    : m_listener(ListenTcp(address, port, &m_nPort)) {
  if (IsListening()) m_thread = std::thread([this] { Serve(); });
}

PlainSink::~PlainSink() {
  m_bStop = true;
  if (m_thread.joinable()) m_thread.join();
  CloseSocket(m_listener);
}

void PlainSink::Serve() {
  std::vector<uint8_t> buffer(1 << 20);
  while (!m_bStop.load()) {
    if (WaitReadable(m_listener, POLL_MS) != 1) continue;
    const SocketHandle connection = AcceptConnection(m_listener);
    if (connection == INVALID_SOCKET_HANDLE) continue;
    while (ReceiveStream(connection, buffer.data(), buffer.size()) > 0) {
    }
    CloseSocket(connection);
  }
}

double TimePlainSend(uint32_t address, uint16_t port, const std::vector<uint8_t>& bytes) {
  const auto start = std::chrono::steady_clock::now();
  const SocketHandle socket = CreateTcpSocket();
  uint8_t end = 0;
  const bool sent =
      socket != INVALID_SOCKET_HANDLE && ConnectIpv4(socket, address, port) == 0 &&
      SendStream(socket, bytes.data(), bytes.size()) == static_cast<long>(bytes.size()) &&
      shutdown(socket, SHUT_WR) == 0 && ReceiveStream(socket, &end, 1) == 0;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  CloseSocket(socket);
  return sent ? seconds : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::vector<uint8_t> BenchImage() {
  std::vector<uint8_t> image(FILE_BODY_MAX);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 131 + 7);
  return image;
}
