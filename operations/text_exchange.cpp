#include "operations/text_exchange.h"

#include <algorithm>

#include "common/clock.h"
#include "operations/text_message.h"

namespace {

enum class Received {
  kReply,    // a valid reply with the code asked for, in *reply
  kOther,    // any other datagram, one too long for the buffer included
  kNothing,  // nothing came in time
  kFailed,   // the socket failed
};

// One datagram if it arrives within `timeoutMs`.
Received ReceiveTextReply(SocketHandle socket, const char* code, uint32_t timeoutMs,
                          TextReply* reply) {
  const int ready = WaitReadable(socket, timeoutMs);
  if (ready == 0) return Received::kNothing;
  if (ready < 0) return Received::kFailed;
  std::vector<uint8_t> datagram(TEXT_RECEIVE_BUFFER_SIZE);
  uint32_t arrival = 0;
  const long received =
      ReceiveDatagramOn(socket, datagram.data(), datagram.size(), nullptr, &arrival);
  if (received == RECEIVE_FAILED) return Received::kFailed;
  if (received == DATAGRAM_TOO_LONG ||
      !IsValidTextReply(datagram.data(), static_cast<size_t>(received))) {
    return Received::kOther;
  }
  reply->message.assign(reinterpret_cast<const char*>(datagram.data()), TEXT_MESSAGE_SIZE);
  reply->interfaceIndex = arrival;
  return TextMessageCode(reply->message) == code ? Received::kReply : Received::kOther;
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

int SendTextMessageAlong(SocketHandle socket, const std::string& message,
                         const std::vector<DatagramRoute>& routes) {
  int error = 0;
  for (const DatagramRoute& route : routes) {
    const long sent = SendDatagramAlong(socket, reinterpret_cast<const uint8_t*>(message.data()),
                                        message.size(), route, TEXT_PORT);
    if (sent != static_cast<long>(message.size()) && error == 0) error = LastSocketError();
  }
  return error;
}

std::vector<TextReply> CollectTextReplies(SocketHandle socket, const char* code, uint32_t quietMs,
                                          const std::function<bool()>& keepCollecting) {
  std::vector<TextReply> replies;
  TextReply reply;
  uint32_t lastReply = MillisecondClock();
  for (;;) {
    const uint32_t quiet = MillisecondClock() - lastReply;
    const bool busy = keepCollecting && keepCollecting();
    if (quiet >= quietMs && !busy) break;
    uint32_t wait = quiet < quietMs ? quietMs - quiet : TEXT_BUSY_POLL_MS;
    if (busy) wait = std::min(wait, TEXT_BUSY_POLL_MS);
    const Received got = ReceiveTextReply(socket, code, wait, &reply);
    if (got == Received::kFailed || (got == Received::kNothing && !busy)) break;
    if (got == Received::kReply) {
      replies.push_back(reply);
      lastReply = MillisecondClock();
    }
  }
  return replies;
}

bool WaitForTextReply(SocketHandle socket, const char* code, uint32_t timeoutMs,
                      std::string* reply) {
  const uint32_t start = MillisecondClock();
  TextReply got;
  for (;;) {
    const uint32_t waited = MillisecondClock() - start;
    if (waited >= timeoutMs) return false;
    const Received result = ReceiveTextReply(socket, code, timeoutMs - waited, &got);
    if (result == Received::kNothing || result == Received::kFailed) return false;
    if (result == Received::kReply) {
      *reply = got.message;
      return true;
    }
  }
}
