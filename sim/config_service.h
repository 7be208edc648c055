// The configuration-protocol side of printer-sim: answers searches and settings writes on
// UDP port 50005 for any number of simulated printers, all from one address. The answer
// logic (HandleDatagram) is pure and testable; Serve runs it on a socket. Printers() may
// be called from any thread while Serve runs; everything else belongs to one thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "common/socket_port.h"
#include "sim/sim_printer.h"

// The hardware address of the printer that answers writes meant for others.
constexpr uint8_t SIM_STRANGER_MAC[MAC_SIZE] = {0x02, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};

// Faults of the service as a whole, beside each printer's own.
struct ConfigServiceFaults {
  bool strangerOnWrite = false;  // SIM_STRANGER_MAC answers every settings write first
  uint8_t strangerStatus = 0;    // the status byte of the stranger's answer
  bool strayDatagram = false;    // SIM_STRAY_DATAGRAM_SIZE bytes of junk precede every answer
};

struct OutgoingDatagram {
  std::vector<uint8_t> bytes;
  uint32_t delayMs;  // after the request's arrival
};

// A printer's reply datagram: header (magic, `flags`, `operation`, `status`, the record's
// MAC, the payload's check word), then the enciphered ELEM_IDENTITY and record elements;
// `faults` may cut it to the header or spoil the last check word.
std::vector<uint8_t> BuildConfigReply(const PrinterInfo& record, uint8_t operation, uint8_t flags,
                                      uint8_t status, const SimFaults& faults);

class ConfigService {
 public:
  // `onStored` is called with each record a write stored (may be empty).
  ConfigService(std::vector<SimPrinter> printers, ConfigServiceFaults faults,
                std::function<void(const PrinterInfo&)> onStored);

  // The answers to one received datagram, in sending order.
  std::vector<OutgoingDatagram> HandleDatagram(const uint8_t* data, size_t length);

  // Answers requests arriving on `socket` (bound to CONFIG_PORT) until `stop` is set,
  // sending each answer to the request's source when its delay has passed. Checks `stop`
  // at least every 100 ms. Returns false if the socket fails.
  [[nodiscard]] bool Serve(SocketHandle socket, const std::atomic<bool>& stop);

  // The printers' records as they stand now.
  std::vector<PrinterInfo> Printers() const;

 private:
  std::vector<OutgoingDatagram> AnswerSearch(const ConfigHeader& request);
  std::vector<OutgoingDatagram> AnswerWrite(const ConfigHeader& request, const uint8_t* payload,
                                            size_t payloadLength);

  mutable std::mutex m_mutex;
  std::vector<SimPrinter> m_printers;
  ConfigServiceFaults m_faults;
  std::function<void(const PrinterInfo&)> m_onStored;
};
