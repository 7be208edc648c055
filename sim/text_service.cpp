#include "sim/text_service.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>

#include "common/clock.h"
#include "common/mac_text.h"

namespace {

constexpr uint32_t SERVE_POLL_MS = 100;

// A reply built by `build` from a filler seed, as the printer's faults shape it.
void Add(std::vector<std::string>* out, const std::function<std::string(unsigned)>& build,
         unsigned seed, const SimTextFaults& faults) {
  std::string reply = build(seed);
  if (faults.lowerCaseDigits) {
    // Lower case only spoils check digits that hold a letter: draw filler until they do.
    while (reply.find_first_of("ABCDEF") >= 8) reply = build(++seed);
    for (size_t i = 0; i < 8; ++i)
      reply[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(reply[i])));
  }
  if (faults.shortReply) reply.resize(TEXT_MESSAGE_SIZE - 1);
  if (faults.longReply) reply.resize(SIM_LONG_REPLY_SIZE, 'z');
  if (faults.replyTwice) out->push_back(reply);
  out->push_back(std::move(reply));
}

}  // namespace

TextService::TextService(std::vector<SimTextPrinter> printers, bool strayDatagram,
                         std::function<void(const SimTextPrinter&)> onStored)
    : m_printers(std::move(printers)),
      m_bStrayDatagram(strayDatagram),
      m_onStored(std::move(onStored)) {}

std::vector<std::string> TextService::HandleDatagram(const uint8_t* data, size_t length) {
  std::vector<std::string> out;
  if (!IsValidTextRequest(data, length)) return out;
  const std::string request(reinterpret_cast<const char*>(data), TEXT_MESSAGE_SIZE);
  const std::string code = TextMessageCode(request);
  const std::string mac = request.substr(TXT_POS_MAC, 12);
  const unsigned seed = MillisecondClock();
  std::lock_guard<std::mutex> lock(m_mutex);
  for (SimTextPrinter& printer : m_printers) {
    if (code == TXT_SEARCH ||
        (code == TXT_SEARCH_MAC && SameMacText(mac, printer.settings.macDigits))) {
      Add(
          &out,
          [&printer](unsigned filler) {
            return BuildTextInfo(printer.settings, printer.version, filler);
          },
          seed + static_cast<unsigned>(out.size()), printer.faults);
    } else if (code == TXT_SET && SameMacText(mac, printer.settings.macDigits)) {
      const TextSettings received = DecodeTextSet(request);
      printer.settings.ipAddress = received.ipAddress;
      printer.settings.subnetMask = received.subnetMask;
      printer.settings.gateway = received.gateway;
      printer.settings.port = received.port;
      printer.settings.dhcp = received.dhcp;
      if (m_onStored) m_onStored(printer);
      Add(
          &out,
          [&printer](unsigned filler) {
            return BuildTextSetAck(printer.settings.macDigits, filler);
          },
          seed, printer.faults);
    }
  }
  if (m_bStrayDatagram && !out.empty()) {
    out.insert(out.begin(), std::string(SIM_STRAY_DATAGRAM_SIZE, 'x'));
  }
  return out;
}

bool TextService::Serve(SocketHandle socket, const std::atomic<bool>& stop) {
  uint8_t datagram[1500];  // larger than any request; longer ones are not requests
  while (!stop.load()) {
    const int ready = WaitReadable(socket, SERVE_POLL_MS);
    if (ready < 0) return false;
    if (ready == 0) continue;
    uint32_t source = 0;
    const long received = ReceiveDatagram(socket, datagram, sizeof datagram, &source, nullptr);
    if (received <= 0) continue;
    for (const std::string& reply : HandleDatagram(datagram, static_cast<size_t>(received))) {
      if (SendDatagram(socket, reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), source,
                       TEXT_PORT) < 0) {
        std::fprintf(stderr, "printer-sim: send failed: %s\n",
                     SocketErrorText(LastSocketError()).c_str());
      }
    }
  }
  return true;
}

std::vector<SimTextPrinter> TextService::Printers() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_printers;
}
