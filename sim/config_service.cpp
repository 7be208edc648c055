#include "sim/config_service.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <thread>

#include "common/clock.h"
#include "protocol/config_crc16.h"
#include "protocol/elements.h"
#include "protocol/exchange.h"
#include "protocol/payload_cipher.h"

namespace {

constexpr uint32_t SERVE_POLL_MS = 100;
constexpr int BURST_SIZE = 16;                // datagrams sent back to back before a short pause
constexpr size_t IDENTITY_ELEMENT_SIZE = 20;  // 12 data bytes, 2 padding, 6 overhead

}  // namespace

std::vector<uint8_t> BuildConfigReply(const PrinterInfo& record, uint8_t operation, uint8_t flags,
                                      uint8_t status, const SimFaults& faults) {
  ConfigHeader header{};
  std::memcpy(header.magic, CONFIG_MAGIC, sizeof CONFIG_MAGIC);
  header.headerCode = HEADER_CODE;
  header.flags = flags;
  header.operation = operation;
  header.status = status;
  std::memcpy(header.mac, record.mac, MAC_SIZE);

  std::vector<uint8_t> datagram(CONFIG_HEADER_SIZE + IDENTITY_ELEMENT_SIZE + MAX_RECORD_ENCODING);
  size_t payloadLength = 0;
  if (!faults.headerOnly) {
    uint8_t* payload = datagram.data() + CONFIG_HEADER_SIZE;
    uint8_t identity[12];
    std::memcpy(identity, record.mac, MAC_SIZE);
    std::memcpy(identity + MAC_SIZE, record.identityTail, sizeof record.identityTail);
    payloadLength = EncodeElement(payload, ELEM_IDENTITY, 0, identity, sizeof identity);
    payloadLength += EncodeRecord(record, payload + payloadLength);
    header.checkWord = ConfigCrc16(payload, payloadLength);
    if (faults.badCheckWord) payload[payloadLength - 1] ^= 0x5A;
    CryptPayload(header.checkWord, payload, payload, payloadLength);
  }
  EncodeConfigHeader(header, datagram.data());
  datagram.resize(CONFIG_HEADER_SIZE + payloadLength);
  return datagram;
}

namespace {

void Schedule(std::vector<OutgoingDatagram>* out, std::vector<uint8_t> bytes,
              const SimFaults& faults) {
  if (faults.replyTwice) out->push_back({bytes, faults.replyDelayMs});
  out->push_back({std::move(bytes), faults.replyDelayMs});
}

}  // namespace

ConfigService::ConfigService(std::vector<SimPrinter> printers, ConfigServiceFaults faults,
                             std::function<void(const PrinterInfo&)> onStored)
    : m_printers(std::move(printers)), m_faults(faults), m_onStored(std::move(onStored)) {}

std::vector<OutgoingDatagram> ConfigService::HandleDatagram(const uint8_t* data, size_t length) {
  if (length < CONFIG_HEADER_SIZE || length > RECEIVE_BUFFER_SIZE) return {};
  const ConfigHeader request = DecodeConfigHeader(data);
  if (std::memcmp(request.magic, CONFIG_MAGIC, sizeof CONFIG_MAGIC) != 0 ||
      (request.flags & FLAG_REQUEST) == 0 || (request.flags & FLAG_REPLY) != 0) {
    return {};
  }
  std::vector<OutgoingDatagram> out;
  if (request.operation == OP_SEARCH || request.operation == OP_SEARCH_DIRECTED) {
    out = AnswerSearch(request);
  } else if (request.operation == OP_SET) {
    out = AnswerWrite(request, data + CONFIG_HEADER_SIZE, length - CONFIG_HEADER_SIZE);
  }
  if (m_faults.strayDatagram && !out.empty()) {
    out.insert(out.begin(), {std::vector<uint8_t>(SIM_STRAY_DATAGRAM_SIZE, 'x'), 0});
  }
  return out;
}

std::vector<OutgoingDatagram> ConfigService::AnswerSearch(const ConfigHeader& request) {
  const uint8_t flags = static_cast<uint8_t>(FLAG_REPLY | (request.flags & FLAG_DIRECTED));
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<OutgoingDatagram> out;
  for (const SimPrinter& printer : m_printers) {
    if (printer.faults.silent) continue;
    Schedule(&out, BuildConfigReply(printer.record, request.operation, flags, 0, printer.faults),
             printer.faults);
  }
  std::stable_sort(
      out.begin(), out.end(),
      [](const OutgoingDatagram& a, const OutgoingDatagram& b) { return a.delayMs < b.delayMs; });
  return out;
}

std::vector<OutgoingDatagram> ConfigService::AnswerWrite(const ConfigHeader& request,
                                                         const uint8_t* payload,
                                                         size_t payloadLength) {
  std::vector<OutgoingDatagram> out;
  const uint8_t flags = static_cast<uint8_t>(FLAG_REPLY | (request.flags & FLAG_DIRECTED));
  if (m_faults.strangerOnWrite) {
    PrinterInfo stranger{};
    std::memcpy(stranger.mac, SIM_STRANGER_MAC, MAC_SIZE);
    out.push_back(
        {BuildConfigReply(stranger, OP_SET, flags, m_faults.strangerStatus, SimFaults{}), 0});
  }
  std::lock_guard<std::mutex> lock(m_mutex);
  const auto target = std::find_if(m_printers.begin(), m_printers.end(), [&](const SimPrinter& p) {
    return std::memcmp(p.record.mac, request.mac, MAC_SIZE) == 0;
  });
  if (target == m_printers.end() || target->faults.silent) return out;

  std::vector<uint8_t> plain(payload, payload + payloadLength);
  CryptPayload(request.checkWord, plain.data(), plain.data(), plain.size());
  PrinterInfo received{};
  if (!DecodeElements(plain.data(), plain.size(), &received)) return out;

  PrinterInfo& stored = target->record;
  const bool passwordSet = std::any_of(std::begin(stored.password), std::end(stored.password),
                                       [](uint8_t b) { return b != 0; });
  uint8_t status = 0;
  if (passwordSet && std::memcmp(stored.password, received.password, PASSWORD_SIZE) != 0) {
    status = STATUS_PASSWORD_MISMATCH;
  } else {
    std::memcpy(received.mac, stored.mac, MAC_SIZE);
    std::memcpy(received.identityTail, stored.identityTail, sizeof stored.identityTail);
    stored = received;
    if (m_onStored) m_onStored(stored);
  }
  Schedule(&out, BuildConfigReply(stored, OP_SET, flags, status, target->faults), target->faults);
  return out;
}

bool ConfigService::Serve(SocketHandle socket, const std::atomic<bool>& stop) {
  struct Pending {
    std::vector<uint8_t> bytes;
    uint32_t address;
    uint16_t port;
  };
  std::multimap<uint32_t, Pending> pending;  // by due time on the millisecond clock
  uint8_t datagram[RECEIVE_BUFFER_SIZE + 1];
  while (!stop.load()) {
    uint32_t wait = SERVE_POLL_MS;
    if (!pending.empty()) {
      const uint32_t untilDue = pending.begin()->first - MillisecondClock();
      wait = static_cast<int32_t>(untilDue) <= 0 ? 0 : std::min(wait, untilDue);
    }
    const int ready = WaitReadable(socket, wait);
    if (ready < 0) return false;
    if (ready == 1) {
      uint32_t source = 0;
      uint16_t sourcePort = 0;
      const long received =
          ReceiveDatagram(socket, datagram, sizeof datagram, &source, &sourcePort);
      if (received > 0) {
        const uint32_t now = MillisecondClock();
        for (OutgoingDatagram& answer : HandleDatagram(datagram, static_cast<size_t>(received))) {
          pending.emplace(now + answer.delayMs,
                          Pending{std::move(answer.bytes), source, sourcePort});
        }
      }
    }
    int sentInBurst = 0;
    while (!pending.empty() &&
           static_cast<int32_t>(pending.begin()->first - MillisecondClock()) <= 0) {
      const Pending& due = pending.begin()->second;
      if (SendDatagram(socket, due.bytes.data(), due.bytes.size(), due.address, due.port) < 0) {
        std::fprintf(stderr, "printer-sim: send failed: %s\n",
                     SocketErrorText(LastSocketError()).c_str());
      }
      pending.erase(pending.begin());
      // Short pauses keep a burst of hundreds of answers within the client's receive buffer.
      if (++sentInBurst % BURST_SIZE == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  return true;
}

std::vector<PrinterInfo> ConfigService::Printers() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<PrinterInfo> records;
  for (const SimPrinter& printer : m_printers) records.push_back(printer.record);
  return records;
}
