// The floor of the download benchmarks: one plain blocking send of a block over a fresh
// TCP connection, timed until the receiver has taken every byte, and the receiver that
// takes them as fast as it can. Linux only (the benchmarks run there).
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "common/socket_port.h"

// A receiver on `address` (network order):`port` that reads each connection to its end
// into one large buffer, drops the bytes and closes it, on its own thread until destroyed.
class PlainSink {
 public:
  PlainSink(uint32_t address, uint16_t port);
  ~PlainSink();
  PlainSink(const PlainSink&) = delete;
  PlainSink& operator=(const PlainSink&) = delete;

  bool IsListening() const { return m_listener != INVALID_SOCKET_HANDLE; }
  uint16_t Port() const { return m_nPort; }

 private:
  void Serve();

  uint16_t m_nPort = 0;
  SocketHandle m_listener;
  std::atomic<bool> m_bStop{false};
  std::thread m_thread;
};

// Connects to `address`:`port`, sends `bytes` in one blocking send, ends the stream and
// waits until the receiver closes its side, which it does once it has read everything.
// Returns the seconds from the connect to that close, or -1 when any step fails.
double TimePlainSend(uint32_t address, uint16_t port, const std::vector<uint8_t>& bytes);

// The middle value of `values` (not empty).
double Median(std::vector<double> values);

// The largest firmware image as the benchmarks send it: FILE_BODY_MAX bytes of a fixed
// pattern.
std::vector<uint8_t> BenchImage();
