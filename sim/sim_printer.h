// One simulated configuration-protocol printer of printer-sim: its record as it keeps it
// and the faults it shows. Plain data; not thread-safe by itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/printer_info.h"

// The size of the stray datagram that may precede every answer: longer than any receive
// buffer of the client, as any program on the network may send one.
constexpr size_t SIM_STRAY_DATAGRAM_SIZE = 2000;

struct SimFaults {
  uint32_t replyDelayMs = 0;  // every answer waits this long after the request
  bool replyTwice = false;    // every answer is sent twice
  bool headerOnly = false;    // answers carry the 32-byte header only
  bool badCheckWord = false;  // the last element of every answer has a wrong check word
  bool silent = false;        // answers nothing
};

struct SimPrinter {
  PrinterInfo record;  // mac, addresses, port and password as the printer stores them
  SimFaults faults;
};

struct SimPrinterSettings {
  uint8_t mac[MAC_SIZE];
  uint32_t ipAddress;  // network order, as are the other addresses
  uint32_t subnetMask;
  uint32_t gateway;
  uint16_t port;
  uint16_t modelCode;
  std::string password;  // at most PASSWORD_SIZE bytes; empty: no password
};

// A printer as it describes itself: channels 0 and 1 present with the print port in
// channel 0, model flags as a decoded reply would set them.
SimPrinter MakeSimPrinter(const SimPrinterSettings& settings);

// "02:00:00:00:00:01 ip=198.51.100.10 mask=255.255.255.0 gateway=198.51.100.1 port=9100"
std::string DescribePrinter(const PrinterInfo& record);
