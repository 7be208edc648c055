// Writes the seed corpus of the fuzz targets into two folders given on the command line:
// the element lists of printers of each model, and their reply datagrams (prefixed with
// the operation byte that parse_reply_fuzz reads).
#include <cstdio>
#include <string>
#include <vector>

#include "protocol/elements.h"
#include "sim/config_service.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: write_fuzz_seeds ELEMENTS_DIR REPLIES_DIR\n");
    return 2;
  }
  const uint16_t models[] = {MODEL_EXPRESSION, MODEL_BLOCK38, 7};
  for (uint16_t model : models) {
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
    bool ok = WriteFile(std::string(argv[1]) + "/" + name, elements);
    for (uint8_t operation : {OP_SEARCH, OP_SEARCH_DIRECTED, OP_SET}) {
      std::vector<uint8_t> seed = {static_cast<uint8_t>(operation - 1)};
      const std::vector<uint8_t> reply =
          BuildConfigReply(printer.record, operation, FLAG_REPLY | FLAG_DIRECTED, 0, SimFaults{});
      seed.insert(seed.end(), reply.begin(), reply.end());
      ok = ok &&
           WriteFile(std::string(argv[2]) + "/" + name + "-op" + std::to_string(operation), seed);
    }
    if (!ok) {
      std::perror("write_fuzz_seeds");
      return 1;
    }
  }
  return 0;
}
