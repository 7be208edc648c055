// The element list that forms a configuration-protocol payload: tagged items, each with
// its own check word, decoded into and encoded from a PrinterInfo. Pure; thread-safe.
//
//   0      type (1-48)
//   1      index: which instance of a repeated item
//   2-3    total length L = data + padding + 6, little-endian
//   4      data (n bytes), then padding (p zero bytes, p = ElementPadding(n))
//   L-2    check word: ConfigCrc16 of bytes 0 .. L-3, little-endian
#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/printer_info.h"

enum ElementType : uint8_t {
  ELEM_IDENTITY = 1,
  ELEM_MODEL = 2,
  ELEM_ADDRESS = 3,
  ELEM_WORD5 = 5,
  ELEM_PASSWORD = 6,
  ELEM_TEXT7 = 7,
  ELEM_BLOCK8 = 8,
  ELEM_CHANNEL = 16,
  ELEM_CHANNEL_SETTINGS = 32,
  ELEM_BYTES33 = 33,
  ELEM_BYTES34 = 34,
  ELEM_CHANNEL_TEXT = 35,
  ELEM_EXPRESSION = 36,
  ELEM_EXPR_CONTROL = 37,
  ELEM_BLOCK38 = 38,
  ELEM_BLOB = 48,
};

// One element as it lies in a payload; `data` points into the payload and runs over the
// data and its padding.
struct Element {
  uint8_t type;
  uint8_t index;
  uint16_t totalLength;
  const uint8_t* data;
  size_t dataLength;  // data + padding: totalLength - ELEMENT_OVERHEAD
};

constexpr size_t ELEMENT_OVERHEAD = 6;          // type, index, length, check word
constexpr size_t ELEMENT_DECODE_BUFFER = 1400;  // largest data + padding a decode accepts

// The largest element list EncodeRecord can write: every channel present and both
// model-specific blocks, which a decoded record never has together (1448 bytes at most).
constexpr size_t MAX_RECORD_ENCODING = 1480;

// Zero bytes that follow `dataLength` data bytes: n mod 4 = 0, 1, 2, 3 gives 2, 1, 0, 3.
size_t ElementPadding(size_t dataLength);

// Writes one element at `out` (room for dataLength + 9 bytes); returns its total length.
[[nodiscard]] size_t EncodeElement(uint8_t* out, uint8_t type, uint8_t index, const uint8_t* data,
                                   size_t dataLength);

// Decodes the plaintext payload into `record`, which the caller has zeroed. Returns true
// when every element was whole and its check word matched. Returns false at the first
// element whose check word mismatches (tracing "CRC fail...\n"), whose length field is
// below 6, that runs past the payload, or whose data exceeds ELEMENT_DECODE_BUFFER;
// elements before it stay stored in the record.
[[nodiscard]] bool DecodeElements(const uint8_t* payload, size_t length, PrinterInfo* record);

// Writes the element list of a settings write at `out` (room for MAX_RECORD_ENCODING
// bytes) in the protocol's fixed order; returns its length.
[[nodiscard]] size_t EncodeRecord(const PrinterInfo& record, uint8_t* out);
