// Writes the seed corpus of every fuzz target into CORPUS/<target>, one folder per target
// named as its executable without "fuzz_": element lists of printers of each model, their
// reply datagrams (after the operation byte that parse_reply_fuzz reads), text-protocol
// replies and requests, download replies and headers, and plan files.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "operations/text_message.h"
#include "protocol/elements.h"
#include "sim/config_service.h"
#include "tcp/download_header.h"

namespace {

class SeedWriter {
 public:
  explicit SeedWriter(std::string root) : m_strRoot(std::move(root)) {}

  // Writes one seed of `target`; the first failure is kept for Ok().
  void Write(const std::string& target, const std::string& name,
             const std::vector<uint8_t>& bytes) {
    const std::string folder = m_strRoot + "/" + target;
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) m_bOk = false;
    FILE* file = std::fopen((folder + "/" + name).c_str(), "wb");
    if (file == nullptr) {
      m_bOk = false;
      return;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    m_bOk = std::fclose(file) == 0 && written && m_bOk;
  }
  void Write(const std::string& target, const std::string& name, const std::string& text) {
    Write(target, name, std::vector<uint8_t>(text.begin(), text.end()));
  }
  bool Ok() const { return m_bOk; }

 private:
  std::string m_strRoot;
  bool m_bOk = true;
};

void WriteConfigSeeds(SeedWriter* seeds) {
  for (uint16_t model : {MODEL_EXPRESSION, MODEL_BLOCK38, uint16_t{7}}) {
    SimPrinterSettings settings{};
    settings.mac[0] = 0x02;
    settings.mac[5] = static_cast<uint8_t>(model);
    settings.port = 9100;
    settings.modelCode = model;
    settings.password = "secret";
    const SimPrinter printer = MakeSimPrinter(settings);
    std::vector<uint8_t> elements(MAX_RECORD_ENCODING);
    elements.resize(EncodeRecord(printer.record, elements.data()));
    const std::string name = "model" + std::to_string(model);
    seeds->Write("decode_elements", name, elements);
    for (uint8_t operation : {OP_SEARCH, OP_SEARCH_DIRECTED, OP_SET}) {
      std::vector<uint8_t> seed = {static_cast<uint8_t>(operation - 1)};
      const std::vector<uint8_t> reply =
          BuildConfigReply(printer.record, operation, FLAG_REPLY | FLAG_DIRECTED, 0, SimFaults{});
      seed.insert(seed.end(), reply.begin(), reply.end());
      seeds->Write("parse_reply", name + "-op" + std::to_string(operation), seed);
    }
  }
}

void WriteTextSeeds(SeedWriter* seeds) {
  const TextSettings settings{"44a8c2000001", 0xC6336414, 0xFFFFFF00, 0xC6336401, 9100, false};
  seeds->Write("text_reply", "info", BuildTextInfo(settings, "2.05", 1));
  seeds->Write("text_reply", "info-without-version", BuildTextInfo(settings, "", 2));
  seeds->Write("text_reply", "set-ack", BuildTextSetAck(settings.macDigits, 3));
  seeds->Write("text_reply", "set-request", BuildTextSet(settings, 4));
  seeds->Write("text_reply", "info-longer", BuildTextInfo(settings, "3.10", 5) + "tail");
}

void WriteDownloadSeeds(SeedWriter* seeds) {
  for (uint8_t status : {REPLY_READY, REPLY_ACK, REPLY_NAK}) {
    const DownloadReply reply = BuildDownloadReply(status, status);
    seeds->Write("download_reply", "reply-" + std::to_string(status),
                 std::vector<uint8_t>(reply.begin(), reply.end()));
  }
  const std::string image = "abc";
  const DownloadHeader header =
      BuildDownloadHeader(reinterpret_cast<const uint8_t*>(image.data()), image.size(), 1);
  seeds->Write("download_reply", "header", std::vector<uint8_t>(header.begin(), header.end()));
}

void WritePlanSeeds(SeedWriter* seeds) {
  seeds->Write("plan_parser", "every-column",
               "mac,ip,mask,gateway,port,dhcp,password\r\n"
               "02:00:00:00:00:01,198.51.100.20,255.255.255.0,198.51.100.1,9100,,secret\r\n"
               "44:A8:C2:00:00:01,,,,9300,on,\r\n");
  seeds->Write("plan_parser", "quoted-and-spaced",
               "\xEF\xBB\xBF Port ,MAC\n 9100 ,\"02:00:00:00:00:02\"\n\n,\n");
  seeds->Write("plan_parser", "faults",
               "mac,ip,port\n02:00:00:00:00:1,198.51.100.300,80\n02:00:00:00:00:01,\"a\nb\",\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_fuzz_seeds CORPUS_DIR\n");
    return 2;
  }
  SeedWriter seeds(argv[1]);
  WriteConfigSeeds(&seeds);
  WriteTextSeeds(&seeds);
  WriteDownloadSeeds(&seeds);
  WritePlanSeeds(&seeds);
  if (!seeds.Ok()) {
    std::perror("write_fuzz_seeds");
    return 1;
  }
  return 0;
}
