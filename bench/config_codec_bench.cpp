// The configuration protocol's per-datagram work: deciphering and decoding the fullest
// model-16 reply a printer sends, and building the settings write for the same record.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "protocol/config_crc16.h"
#include "protocol/payload_cipher.h"
#include "protocol/settings_write.h"
#include "sim/config_service.h"

namespace {

// A model-16 printer with both print channels, eight expressions and every text filled.
PrinterInfo FullModel16Record() {
  SimPrinterSettings settings{};
  settings.mac[0] = 0x02;
  settings.mac[5] = 0x01;
  settings.port = 9100;
  settings.modelCode = MODEL_EXPRESSION;
  settings.password = "secret";
  PrinterInfo record = MakeSimPrinter(settings).record;
  for (auto& expression : record.expressions) std::memset(expression, 'i', EXPRESSION_SIZE);
  std::memset(record.text7, 't', sizeof record.text7);
  std::memset(record.expressionText, 'e', sizeof record.expressionText);
  return record;
}

void BM_DecipherAndDecodeModel16Reply(benchmark::State& state) {
  const std::vector<uint8_t> reply =
      BuildConfigReply(FullModel16Record(), OP_SEARCH, FLAG_REPLY, 0, SimFaults{});
  const ConfigHeader header = DecodeConfigHeader(reply.data());
  const size_t payloadLength = reply.size() - CONFIG_HEADER_SIZE;
  std::vector<uint8_t> plain(payloadLength);
  for (auto _ : state) {
    CryptPayload(header.checkWord, reply.data() + CONFIG_HEADER_SIZE, plain.data(), payloadLength);
    PrinterInfo record{};
    const bool decoded = DecodeElements(plain.data(), payloadLength, &record);
    benchmark::DoNotOptimize(decoded);
    benchmark::DoNotOptimize(record);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
  state.counters["datagram_bytes"] = static_cast<double>(reply.size());
}
BENCHMARK(BM_DecipherAndDecodeModel16Reply);

void BM_BuildSetRequestModel16(benchmark::State& state) {
  auto context = std::make_unique<ExchangeContext>();
  context->operation = OP_SET;
  context->request.info = FullModel16Record();
  for (auto _ : state) {
    BuildSetRequest(context.get());
    benchmark::DoNotOptimize(context->sendBuffer);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * context->requestLength));
  state.counters["datagram_bytes"] = static_cast<double>(context->requestLength);
}
BENCHMARK(BM_BuildSetRequestModel16);

}  // namespace
