// The text-protocol side of printer-sim: printers that answer searches and settings writes
// with 128-character messages on UDP port 27700. The answer logic (HandleDatagram) is pure;
// Serve runs it on a socket. Printers() may be called from any thread.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "common/socket_port.h"
#include "operations/text_message.h"
#include "sim/sim_printer.h"

// What a text printer with the fault hostile-text sends as its MAC characters (twelve) and
// version ("M.mm" becomes the characters at positions 61, 62, 63 and 64): quotes, commas, a
// semicolon and a line break, as any printer may send.
constexpr const char* SIM_HOSTILE_MAC_TEXT = "\"4,4\r\nA8;\"C2";
constexpr const char* SIM_HOSTILE_VERSION = "\"x,\n";

// The length of a long reply: its first 128 bytes are the message, the rest is text that a
// receiver does not read.
constexpr size_t SIM_LONG_REPLY_SIZE = 4000;

struct SimTextFaults {
  bool lowerCaseDigits = false;  // replies carry lower-case check digits (invalid)
  bool shortReply = false;       // replies are 127 bytes long
  bool longReply = false;        // replies run on to SIM_LONG_REPLY_SIZE bytes
  bool replyTwice = false;       // every reply is sent twice
};

struct SimTextPrinter {
  TextSettings settings;  // macDigits as the printer sends them
  std::string version;    // "2.05", or empty for none
  SimTextFaults faults;
};

class TextService {
 public:
  // `strayDatagram`: SIM_STRAY_DATAGRAM_SIZE bytes of junk precede the replies to every
  // request that is answered.
  TextService(std::vector<SimTextPrinter> printers, bool strayDatagram,
              std::function<void(const SimTextPrinter&)> onStored);

  // The replies to one received datagram, in sending order.
  std::vector<std::string> HandleDatagram(const uint8_t* data, size_t length);
  // Answers requests on `socket` (bound to TEXT_PORT), each to TEXT_PORT of its sender,
  // until `stop` is set (checked every 100 ms). Returns false if the socket fails.
  [[nodiscard]] bool Serve(SocketHandle socket, const std::atomic<bool>& stop);
  std::vector<SimTextPrinter> Printers() const;

 private:
  mutable std::mutex m_mutex;
  std::vector<SimTextPrinter> m_printers;
  bool m_bStrayDatagram;
  std::function<void(const SimTextPrinter&)> m_onStored;
};
