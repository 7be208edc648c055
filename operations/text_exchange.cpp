#include "operations/text_exchange.h"

#include "common/clock.h"
#include "operations/text_message.h"

namespace {

constexpr size_t DATAGRAM_BUFFER_SIZE = 1500;

// One datagram if it arrives within `timeoutMs`: 1 with *message set when it is a valid
// reply with `code`, 0 for any other datagram (one too long for the buffer included), -1
// when nothing came or the socket failed.
int ReceiveTextReply(SocketHandle socket, const char* code, uint32_t timeoutMs,
                     std::string* message) {
  if (WaitReadable(socket, timeoutMs) != 1) return -1;
  uint8_t datagram[DATAGRAM_BUFFER_SIZE];
  const long received = ReceiveDatagram(socket, datagram, sizeof datagram, nullptr, nullptr);
  if (received == RECEIVE_FAILED) return -1;
  if (received == DATAGRAM_TOO_LONG || !IsValidTextReply(datagram, static_cast<size_t>(received))) {
    return 0;
  }
  *message = std::string(reinterpret_cast<const char*>(datagram), TEXT_MESSAGE_SIZE);
  return TextMessageCode(*message) == code ? 1 : 0;
}

}  // namespace

SocketHandle OpenTextSocket(int* error) {
  const SocketHandle socket = CreateUdpSocket();
  if (socket == INVALID_SOCKET_HANDLE || !EnableBroadcast(socket) ||
      !BindAnyAddress(socket, TEXT_PORT)) {
    *error = LastSocketError();
    CloseSocket(socket);
    return INVALID_SOCKET_HANDLE;
  }
  *error = 0;
  return socket;
}

int SendTextMessage(SocketHandle socket, const std::string& message, uint32_t address) {
  const long sent = SendDatagram(socket, reinterpret_cast<const uint8_t*>(message.data()),
                                 message.size(), address, TEXT_PORT);
  return sent == static_cast<long>(message.size()) ? 0 : LastSocketError();
}

std::vector<std::string> CollectTextReplies(SocketHandle socket, const char* code,
                                            uint32_t quietMs) {
  std::vector<std::string> replies;
  std::string reply;
  uint32_t lastReply = MillisecondClock();
  for (;;) {
    const uint32_t quiet = MillisecondClock() - lastReply;
    if (quiet >= quietMs) break;
    const int got = ReceiveTextReply(socket, code, quietMs - quiet, &reply);
    if (got < 0) break;
    if (got == 1) {
      replies.push_back(reply);
      lastReply = MillisecondClock();
    }
  }
  return replies;
}

bool WaitForTextReply(SocketHandle socket, const char* code, uint32_t timeoutMs,
                      std::string* reply) {
  const uint32_t start = MillisecondClock();
  for (;;) {
    const uint32_t waited = MillisecondClock() - start;
    if (waited >= timeoutMs) return false;
    const int got = ReceiveTextReply(socket, code, timeoutMs - waited, reply);
    if (got < 0) return false;
    if (got == 1) return true;
  }
}
