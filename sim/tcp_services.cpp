#include "sim/tcp_services.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

#include "common/checksum32.h"
#include "common/clock.h"
#include "tcp/download_header.h"

namespace {

constexpr uint32_t POLL_MS = 100;
constexpr uint32_t BODY_TIMEOUT_MS = 10000;  // a body that stops arriving this long is given up
// Between a NAK ready reply and the final one, which the client cannot ask for: long enough
// for the client to take the first in a receive of its own.
constexpr uint32_t REPLY_GAP_MS = 200;

// The next connection on the listener, or INVALID_SOCKET_HANDLE after a quiet poll.
SocketHandle AcceptWithin(SocketHandle listener, uint32_t milliseconds) {
  if (WaitReadable(listener, milliseconds) != 1) return INVALID_SOCKET_HANDLE;
  return AcceptConnection(listener);
}

// Receives exactly `length` bytes unless the peer closes or goes quiet; returns the count.
size_t ReceiveAll(SocketHandle connection, uint8_t* buffer, size_t length) {
  size_t got = 0;
  while (got < length) {
    if (WaitReadable(connection, BODY_TIMEOUT_MS) != 1) break;
    const long received = ReceiveStream(connection, buffer + got, length - got);
    if (received <= 0) break;
    got += static_cast<size_t>(received);
  }
  return got;
}

// Sleeps `milliseconds` in short steps; false as soon as `stop` is set.
bool PauseUnlessStopped(uint32_t milliseconds, const std::atomic<bool>& stop) {
  const uint32_t start = MillisecondClock();
  while (MillisecondClock() - start < milliseconds) {
    if (stop.load()) return false;
    const uint32_t left = milliseconds - (MillisecondClock() - start);
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, POLL_MS)));
  }
  return !stop.load();
}

// Sends a reply whole; a failure is reported on standard error (the client may be gone).
bool SendReply(SocketHandle connection, const uint8_t* bytes, size_t length) {
  if (SendStream(connection, bytes, length) == static_cast<long>(length)) return true;
  std::fprintf(stderr, "printer-sim: download reply not sent: %s\n",
               SocketErrorText(LastSocketError()).c_str());
  return false;
}

// Keeps the connection's receive buffer at its smallest, so that the kernel cannot take a
// body in for a service that stops reading it: the client's send then stays unfinished.
void LimitReceiveBuffer(SocketHandle connection) {
  const int smallest = 1;  // raised to the system's minimum
  if (!SetReceiveBufferSize(connection, smallest)) {
    std::fprintf(stderr, "printer-sim: SO_RCVBUF: %s\n",
                 SocketErrorText(LastSocketError()).c_str());
  }
}

// Ends the connection with a reset rather than an orderly close.
void ResetOnClose(SocketHandle connection) {
  if (!SetResetOnClose(connection)) {
    std::fprintf(stderr, "printer-sim: SO_LINGER: %s\n",
                 SocketErrorText(LastSocketError()).c_str());
  }
}

// Receives until the peer closes or `stop` is set, handing each block to `take`.
void ReceiveUntilClosed(SocketHandle connection, const std::atomic<bool>& stop,
                        const std::function<void(const uint8_t*, size_t)>& take) {
  uint8_t buffer[4096];
  while (!stop.load()) {
    const int ready = WaitReadable(connection, POLL_MS);
    if (ready < 0) return;
    if (ready == 0) continue;
    const long received = ReceiveStream(connection, buffer, sizeof buffer);
    if (received <= 0) return;
    take(buffer, static_cast<size_t>(received));
  }
}

}  // namespace

void DownloadService::Serve(SocketHandle listener, const std::atomic<bool>& stop) {
  while (!stop.load()) {
    const SocketHandle connection = AcceptWithin(listener, POLL_MS);
    if (connection == INVALID_SOCKET_HANDLE) continue;
    if (m_faults.unanswered) {
      ReceiveUntilClosed(connection, stop, [](const uint8_t*, size_t) {});
    } else {
      ServeConnection(connection, stop);
    }
    CloseSocket(connection);
  }
}

void DownloadService::ServeConnection(SocketHandle connection, const std::atomic<bool>& stop) {
  DownloadRecord record{false, 0, 0, 0};
  if (m_faults.cutBody) LimitReceiveBuffer(connection);
  uint8_t header[DOWNLOAD_HEADER_SIZE];
  uint32_t checksum = 0;
  record.headerValid =
      ReceiveAll(connection, header, sizeof header) == sizeof header &&
      ParseDownloadHeader(header, sizeof header, &record.announcedLength, &checksum);
  if (record.headerValid && PauseUnlessStopped(m_faults.readyDelayMs, stop)) {
    const unsigned seed = MillisecondClock();
    const DownloadReply ready =
        BuildDownloadReply(m_faults.nakReady ? REPLY_NAK : REPLY_READY, seed);
    if (SendReply(connection, ready.data(), ready.size())) {
      TakeBodyAndAnswer(connection, checksum, seed + 1, stop, &record);
    }
  }
  Record(record);
}

void DownloadService::TakeBodyAndAnswer(SocketHandle connection, uint32_t checksum, unsigned seed,
                                        const std::atomic<bool>& stop, DownloadRecord* record) {
  record->finalStatus = REPLY_NAK;
  if (m_faults.nakReady) {
    std::this_thread::sleep_for(std::chrono::milliseconds(REPLY_GAP_MS));
  } else if (record->announcedLength <= FILE_BODY_MAX) {
    std::vector<uint8_t> image(record->announcedLength);
    const size_t wanted =
        m_faults.cutBody ? std::min(image.size(), SIM_CUT_BODY_BYTES) : image.size();
    record->receivedLength = ReceiveAll(connection, image.data(), wanted);
    if (m_faults.cutBody) {
      ResetOnClose(connection);
      return;
    }
    if (record->receivedLength == image.size() &&
        Checksum32(image.data(), image.size()) == checksum) {
      record->finalStatus = REPLY_ACK;
    }
  }
  if (!PauseUnlessStopped(m_faults.finalDelayMs, stop)) return;
  DownloadReply final = BuildDownloadReply(record->finalStatus, seed);
  if (m_faults.badByte6) final[6] ^= 0xFF;
  std::vector<uint8_t> sent(final.begin(), final.end());
  sent.resize(static_cast<size_t>(m_faults.finalLength), 0);
  (void)SendReply(connection, sent.data(), sent.size());  // the last step either way
}

void DownloadService::Record(const DownloadRecord& record) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_downloads.push_back(record);
}

std::vector<DownloadRecord> DownloadService::Downloads() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_downloads;
}

void PrintService::Serve(SocketHandle listener, const std::atomic<bool>& stop) {
  while (!stop.load()) {
    const SocketHandle connection = AcceptWithin(listener, POLL_MS);
    if (connection == INVALID_SOCKET_HANDLE) continue;
    std::string page;
    ReceiveUntilClosed(connection, stop, [&page](const uint8_t* data, size_t length) {
      page.append(reinterpret_cast<const char*>(data), length);
    });
    CloseSocket(connection);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pages.push_back(page);
  }
}

std::vector<std::string> PrintService::Pages() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_pages;
}
