// The configuration protocol's per-datagram work beside a reference: deciphering and
// decoding the fullest model-16 reply a printer sends, and building the settings write for
// the same record, each beside OpenSSL's RC4 over the same payload plus the check words of
// its elements. OpenSSL is the benchmarks' reference only; the programs link none of it.
// Prints Google Benchmark's table, then each medians' ratio to its reference:
//   build/bin/netvora-bench [--benchmark_repetitions=N ...]
#define OPENSSL_SUPPRESS_DEPRECATED  // the low-level RC4 calls, the fastest OpenSSL has
#include <benchmark/benchmark.h>
#include <openssl/rc4.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/byte_reader.h"
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

// That printer's reply to a search, and the parts of it that the decoding takes.
struct Model16Reply {
  std::vector<uint8_t> datagram;
  uint16_t checkWord;
  size_t payloadLength;

  const uint8_t* Payload() const { return datagram.data() + CONFIG_HEADER_SIZE; }
};

Model16Reply FullModel16Reply() {
  Model16Reply reply;
  reply.datagram = BuildConfigReply(FullModel16Record(), OP_SEARCH, FLAG_REPLY, 0, SimFaults{});
  reply.checkWord = DecodeConfigHeader(reply.datagram.data()).checkWord;
  reply.payloadLength = reply.datagram.size() - CONFIG_HEADER_SIZE;
  return reply;
}

// The reference's RC4: OpenSSL's, with a fresh key schedule per datagram as ours has.
void ReferenceCrypt(uint16_t checkWord, const uint8_t* in, uint8_t* out, size_t length) {
  const PayloadKey key = BuildPayloadKey(checkWord);
  RC4_KEY schedule;
  RC4_set_key(&schedule, sizeof key.bytes, key.bytes);
  RC4(&schedule, length, in, out);
}

// The reference's element work: the check word of every element, compared with the one it
// carries (decode) or written into it (encode). Element lengths are trusted.
bool ReferenceCheckWords(uint8_t* payload, size_t length, bool write) {
  for (size_t at = 0; at + 4 <= length;) {
    const size_t total = LoadLe16(payload + at + 2);
    const uint16_t check = ConfigCrc16(payload + at, total - 2);
    if (write) {
      StoreLe16(payload + at + total - 2, check);
    } else if (check != LoadLe16(payload + at + total - 2)) {
      return false;
    }
    at += total;
  }
  return true;
}

// Whether the reference deciphers the reply to the same bytes as ours, every check word
// matching: a comparison is fair only then.
bool ReferenceAgreesWithOurs() {
  const Model16Reply reply = FullModel16Reply();
  std::vector<uint8_t> ours(reply.payloadLength);
  std::vector<uint8_t> reference(reply.payloadLength);
  CryptPayload(reply.checkWord, reply.Payload(), ours.data(), reply.payloadLength);
  ReferenceCrypt(reply.checkWord, reply.Payload(), reference.data(), reply.payloadLength);
  return ours == reference && ReferenceCheckWords(reference.data(), reply.payloadLength, false);
}

void BM_DecipherAndDecodeModel16Reply(benchmark::State& state) {
  const Model16Reply reply = FullModel16Reply();
  std::vector<uint8_t> plain(reply.payloadLength);
  for (auto _ : state) {
    CryptPayload(reply.checkWord, reply.Payload(), plain.data(), reply.payloadLength);
    PrinterInfo record{};
    const bool decoded = DecodeElements(plain.data(), reply.payloadLength, &record);
    benchmark::DoNotOptimize(decoded);
    benchmark::DoNotOptimize(record);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.datagram.size()));
  state.counters["datagram_bytes"] = static_cast<double>(reply.datagram.size());
}
BENCHMARK(BM_DecipherAndDecodeModel16Reply);

void BM_ReferenceDecipherAndCheckModel16Reply(benchmark::State& state) {
  const Model16Reply reply = FullModel16Reply();
  std::vector<uint8_t> plain(reply.payloadLength);
  for (auto _ : state) {
    ReferenceCrypt(reply.checkWord, reply.Payload(), plain.data(), reply.payloadLength);
    const bool checked = ReferenceCheckWords(plain.data(), reply.payloadLength, false);
    benchmark::DoNotOptimize(checked);
    benchmark::DoNotOptimize(plain.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.datagram.size()));
}
BENCHMARK(BM_ReferenceDecipherAndCheckModel16Reply);

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

// The same request's payload: its element check words written, the payload's check word
// taken, then enciphered.
void BM_ReferenceBuildSetRequestModel16(benchmark::State& state) {
  std::vector<uint8_t> payload(MAX_RECORD_ENCODING);
  payload.resize(EncodeRecord(FullModel16Record(), payload.data()));
  std::vector<uint8_t> sent(payload.size());
  for (auto _ : state) {
    ReferenceCheckWords(payload.data(), payload.size(), true);
    const uint16_t checkWord = ConfigCrc16(payload.data(), payload.size());
    ReferenceCrypt(checkWord, payload.data(), sent.data(), payload.size());
    benchmark::DoNotOptimize(sent.data());
  }
  state.SetBytesProcessed(
      static_cast<int64_t>(state.iterations() * (payload.size() + CONFIG_HEADER_SIZE)));
}
BENCHMARK(BM_ReferenceBuildSetRequestModel16);

// Google Benchmark's console table (only the aggregates once runs are repeated), keeping
// every run's time per iteration for the comparison with the references.
class ComparingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    std::vector<Run> shown;
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate || run.repetitions <= 1) shown.push_back(run);
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        m_times[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
      }
    }
    if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
  }

  // Prints the medians of `ours` and `reference`, their spreads and the ratio of medians.
  void Compare(const char* what, const std::string& ours, const std::string& reference) const {
    const auto found = [this](const std::string& name) {
      const auto times = m_times.find(name);
      return times == m_times.end() ? nullptr : &times->second;
    };
    const std::vector<double>* ourTimes = found(ours);
    const std::vector<double>* referenceTimes = found(reference);
    if (ourTimes == nullptr || referenceTimes == nullptr) return;  // filtered out
    const double ourMedian = Median(*ourTimes);
    const double referenceMedian = Median(*referenceTimes);
    std::printf(
        "%s: ours median %.0f ns (%.0f to %.0f), reference median %.0f ns (%.0f to %.0f)"
        ", ratio %.2f\n",
        what, ourMedian, Least(*ourTimes), Most(*ourTimes), referenceMedian, Least(*referenceTimes),
        Most(*referenceTimes), ourMedian / referenceMedian);
  }

 private:
  static double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  }
  static double Least(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
  }
  static double Most(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
  }

  std::map<std::string, std::vector<double>> m_times;
};

}  // namespace

int main(int argc, char** argv) {
  // Repeated runs in random order by default, so that the two sides of a comparison meet
  // the same machine; flags given on the command line come later and win.
  std::vector<char*> args(argv, argv + argc);
  char repetitions[] = "--benchmark_repetitions=9";
  char interleaving[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, {repetitions, interleaving});
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  if (!ReferenceAgreesWithOurs()) {
    std::fprintf(stderr, "OpenSSL's RC4 and ours disagree on the reply: no comparison\n");
    return 1;
  }
  ComparingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::printf("\nTime per datagram, beside OpenSSL's RC4 plus the elements' check words:\n");
  reporter.Compare("decipher and decode a model-16 reply", "BM_DecipherAndDecodeModel16Reply",
                   "BM_ReferenceDecipherAndCheckModel16Reply");
  reporter.Compare("build a model-16 settings write", "BM_BuildSetRequestModel16",
                   "BM_ReferenceBuildSetRequestModel16");
  return 0;
}
