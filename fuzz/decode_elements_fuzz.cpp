// Fuzzes DecodeElements with arbitrary plaintext payloads. Whatever decodes must encode
// into an element list that decodes again; from then on, encoding and decoding are stable
// (the first round may differ: a payload can carry two model elements, a record cannot).
#include <cstdlib>
#include <cstring>

#include "protocol/elements.h"

namespace {

struct Encoding {
  uint8_t bytes[MAX_RECORD_ENCODING];
  size_t length;
};

// Encodes the record, decodes that into a fresh record and encodes it again.
void RoundTrip(const PrinterInfo& record, PrinterInfo* decoded, Encoding* encoding) {
  encoding->length = EncodeRecord(record, encoding->bytes);
  *decoded = PrinterInfo{};
  if (!DecodeElements(encoding->bytes, encoding->length, decoded)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrinterInfo record{};
  if (!DecodeElements(data, size, &record)) return 0;
  PrinterInfo once, twice, thrice;
  Encoding first, second, third;
  RoundTrip(record, &once, &first);
  RoundTrip(once, &twice, &second);
  RoundTrip(twice, &thrice, &third);
  if (second.length != third.length || std::memcmp(second.bytes, third.bytes, second.length) != 0) {
    std::abort();
  }
  return 0;
}
