// The TCP side of printer-sim: the download service (port 26600) that takes a firmware
// image, and the print port that records what it receives. Each serves one connection at
// a time on its own listener until stopped. Snapshots may be taken from any thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "common/socket_port.h"

struct DownloadFaults {
  bool nakReady = false;      // the ready reply says NAK (and so does the final one)
  uint32_t finalDelayMs = 0;  // the final reply waits this long after the body
  int finalLength = 32;       // bytes of the final reply sent (31 or 33 to spoil it)
  bool badByte6 = false;      // the final reply fails the byte-6 check
  bool unanswered = false;    // connections are accepted and never answered
  uint32_t readyDelayMs = 0;  // the ready reply waits this long after the header
  bool cutBody = false;       // the connection is reset after SIM_CUT_BODY_BYTES of the body
};

constexpr size_t SIM_CUT_BODY_BYTES = 4096;

struct DownloadRecord {
  bool headerValid;
  uint32_t announcedLength;
  size_t receivedLength;
  uint8_t finalStatus;
};

class DownloadService {
 public:
  explicit DownloadService(DownloadFaults faults) : m_faults(faults) {}
  // Serves connections on `listener` until `stop` is set (checked every 100 ms).
  void Serve(SocketHandle listener, const std::atomic<bool>& stop);
  std::vector<DownloadRecord> Downloads() const;

 private:
  void ServeConnection(SocketHandle connection, const std::atomic<bool>& stop);
  // After the ready reply: takes the body as the faults say, then sends the final reply.
  void TakeBodyAndAnswer(SocketHandle connection, uint32_t checksum, unsigned seed,
                         const std::atomic<bool>& stop, DownloadRecord* record);

  void Record(const DownloadRecord& record);

  DownloadFaults m_faults;
  mutable std::mutex m_mutex;
  std::vector<DownloadRecord> m_downloads;
};

class PrintService {
 public:
  void Serve(SocketHandle listener, const std::atomic<bool>& stop);
  // Everything received, one entry per finished connection.
  std::vector<std::string> Pages() const;

 private:
  mutable std::mutex m_mutex;
  std::vector<std::string> m_pages;
};
