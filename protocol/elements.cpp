#include "protocol/elements.h"

#include <algorithm>
#include <cstring>

#include "common/byte_reader.h"
#include "common/debug_trace.h"
#include "protocol/config_crc16.h"

namespace {

// The most bytes any type's handler takes from an element's data (a 64-byte text or
// expression). Data beyond it is never read, so an element is zero-extended only to this
// length, not to the whole of ELEMENT_DECODE_BUFFER.
constexpr size_t ELEMENT_TAKEN_MAX = 64;
static_assert(sizeof PrinterInfo::text7 <= ELEMENT_TAKEN_MAX &&
                  sizeof PrinterInfo::expressionText <= ELEMENT_TAKEN_MAX &&
                  sizeof ChannelSettings::text <= ELEMENT_TAKEN_MAX &&
                  EXPRESSION_SIZE <= ELEMENT_TAKEN_MAX &&
                  sizeof PrinterInfo::exprControl <= ELEMENT_TAKEN_MAX &&
                  sizeof PrinterInfo::block8Text + sizeof PrinterInfo::block8Words <=
                      ELEMENT_TAKEN_MAX,
              "a handler takes more than ELEMENT_TAKEN_MAX bytes");

// Files one element's data (zero-extended in `data`, ELEMENT_TAKEN_MAX bytes) into the
// record by its type.
void ApplyElement(uint8_t type, uint8_t index, const uint8_t* data, PrinterInfo* record) {
  switch (type) {
    case ELEM_IDENTITY:
      std::memcpy(record->mac, data, MAC_SIZE);
      std::memcpy(record->identityTail, data + 6, sizeof record->identityTail);
      break;
    case ELEM_MODEL:
      record->modelCode = LoadLe16(data);
      if (record->modelCode == MODEL_EXPRESSION) {
        record->auxCount = 8;
        record->expressionCount = EXPRESSION_COUNT_MAX;
        record->hasExpressionBlock = 1;
      } else if (record->modelCode == MODEL_BLOCK38) {
        record->hasBlock38 = 1;
        record->hasExpressionBlock = 0;
      } else {
        record->hasExpressionBlock = 0;
        record->hasBlock38 = 0;
      }
      break;
    case ELEM_ADDRESS: {
      uint32_t* const addresses[] = {&record->ipAddress, &record->subnetMask, &record->gateway,
                                     &record->extraAddress};
      if (index < 4) std::memcpy(addresses[index], data, 4);
      break;
    }
    case ELEM_WORD5:
      std::memcpy(record->word5, data, sizeof record->word5);
      break;
    case ELEM_PASSWORD:
      if (index == 0) std::memcpy(record->password, data, PASSWORD_SIZE);
      if (index == 1) std::memcpy(record->password2, data, PASSWORD_SIZE);
      break;
    case ELEM_TEXT7:
      std::memcpy(record->text7, data, sizeof record->text7);
      break;
    case ELEM_BLOCK8:
      std::memcpy(record->block8Text, data, sizeof record->block8Text);
      std::memcpy(record->block8Words, data + 32, sizeof record->block8Words);
      break;
    case ELEM_CHANNEL:
      if (index < CHANNEL_COUNT) {
        std::memcpy(record->channels[index].data, data, sizeof record->channels[index].data);
        record->channels[index].present = 1;
      }
      break;
    case ELEM_CHANNEL_SETTINGS:
      if (index < CHANNEL_COUNT) {
        ChannelSettings& channel = record->channelSettings[index];
        std::memcpy(channel.settings, data, sizeof channel.settings);
        channel.present = 1;
      }
      break;
    case ELEM_BYTES33:
      std::memcpy(record->bytes33, data, sizeof record->bytes33);
      break;
    case ELEM_BYTES34:
      std::memcpy(record->bytes34, data, 4);  // a reply fills only the first half
      break;
    case ELEM_CHANNEL_TEXT:
      if (index < 2) std::memcpy(record->channelSettings[index].text, data, 64);
      if (index == 2) std::memcpy(record->expressionText, data, sizeof record->expressionText);
      break;
    case ELEM_EXPRESSION:
      if (index < EXPRESSION_COUNT_MAX)
        std::memcpy(record->expressions[index], data, EXPRESSION_SIZE);
      break;
    case ELEM_EXPR_CONTROL:
      std::memcpy(record->exprControl, data, sizeof record->exprControl);
      break;
    case ELEM_BLOCK38:
      std::memcpy(record->block38, data, sizeof record->block38);
      break;
    default:  // ELEM_BLOB and unknown types are stepped over
      break;
  }
}

enum class ElementRead { kWhole, kMalformed, kBadCheckWord };

// Reads the next element and checks its length and check word.
ElementRead ReadElement(ByteReader* reader, Element* element) {
  const uint8_t* head = reader->Peek(4);
  if (head == nullptr) return ElementRead::kMalformed;
  const size_t total = LoadLe16(head + 2);
  if (total < ELEMENT_OVERHEAD || total - ELEMENT_OVERHEAD > ELEMENT_DECODE_BUFFER) {
    return ElementRead::kMalformed;
  }
  const uint8_t* bytes = reader->Peek(total);
  if (bytes == nullptr) return ElementRead::kMalformed;
  if (ConfigCrc16(bytes, total - 2) != LoadLe16(bytes + total - 2)) {
    return ElementRead::kBadCheckWord;
  }
  *element = Element{bytes[0], bytes[1], static_cast<uint16_t>(total), bytes + 4,
                     total - ELEMENT_OVERHEAD};
  return reader->Skip(total) ? ElementRead::kWhole : ElementRead::kMalformed;
}

}  // namespace

size_t ElementPadding(size_t dataLength) {
  static const size_t PADDING[4] = {2, 1, 0, 3};
  return PADDING[dataLength % 4];
}

size_t EncodeElement(uint8_t* out, uint8_t type, uint8_t index, const uint8_t* data,
                     size_t dataLength) {
  const size_t padding = ElementPadding(dataLength);
  const size_t checked = 4 + dataLength + padding;
  out[0] = type;
  out[1] = index;
  StoreLe16(out + 2, static_cast<uint16_t>(checked + 2));
  if (dataLength > 0) std::memcpy(out + 4, data, dataLength);
  std::memset(out + 4 + dataLength, 0, padding);
  StoreLe16(out + checked, ConfigCrc16(out, checked));
  return checked + 2;
}

bool DecodeElements(const uint8_t* payload, size_t length, PrinterInfo* record) {
  ByteReader reader(payload, length);
  uint8_t data[ELEMENT_TAKEN_MAX];
  while (reader.Remaining() > 0) {
    Element element{};
    switch (ReadElement(&reader, &element)) {
      case ElementRead::kMalformed:
        return false;
      case ElementRead::kBadCheckWord:
        DebugTrace("CRC fail...\n");
        return false;
      case ElementRead::kWhole:
        break;
    }
    const size_t taken = std::min(element.dataLength, sizeof data);
    std::memcpy(data, element.data, taken);
    std::memset(data + taken, 0, sizeof data - taken);
    ApplyElement(element.type, element.index, data, record);
  }
  return true;
}

size_t EncodeRecord(const PrinterInfo& record, uint8_t* out) {
  size_t written = 0;
  const auto put = [&](uint8_t type, uint8_t index, const void* data, size_t dataLength) {
    written +=
        EncodeElement(out + written, type, index, static_cast<const uint8_t*>(data), dataLength);
  };
  uint8_t model[2];
  StoreLe16(model, record.modelCode);
  put(ELEM_MODEL, 0, model, sizeof model);
  put(ELEM_ADDRESS, 0, &record.ipAddress, 4);
  put(ELEM_ADDRESS, 1, &record.subnetMask, 4);
  put(ELEM_ADDRESS, 2, &record.gateway, 4);
  put(ELEM_ADDRESS, 3, &record.extraAddress, 4);
  for (uint8_t i = 0; i < CHANNEL_COUNT; ++i) {
    if (record.channels[i].present != 1) continue;
    put(ELEM_CHANNEL, i, record.channels[i].data, sizeof record.channels[i].data);
    const ChannelSettings& channel = record.channelSettings[i];
    if (channel.present != 1) continue;
    put(ELEM_CHANNEL_SETTINGS, i, channel.settings, sizeof channel.settings);
    put(ELEM_CHANNEL_TEXT, i, channel.text, sizeof channel.text);
  }
  put(ELEM_WORD5, 0, record.word5, sizeof record.word5);
  put(ELEM_TEXT7, 0, record.text7, sizeof record.text7);
  put(ELEM_BYTES33, 0, record.bytes33, sizeof record.bytes33);
  put(ELEM_BYTES34, 0, record.bytes34, sizeof record.bytes34);
  uint8_t block8[48];
  std::memcpy(block8, record.block8Text, sizeof record.block8Text);
  std::memcpy(block8 + 32, record.block8Words, sizeof record.block8Words);
  put(ELEM_BLOCK8, 0, block8, sizeof block8);
  put(ELEM_PASSWORD, 0, record.password, PASSWORD_SIZE);
  put(ELEM_PASSWORD, 1, record.password2, PASSWORD_SIZE);
  if (record.hasExpressionBlock == 1) {
    // A record built by hand may claim more expressions than it holds; send what it holds.
    const int count = std::min<int>(record.expressionCount, EXPRESSION_COUNT_MAX);
    for (int i = 0; i < count; ++i) {
      put(ELEM_EXPRESSION, static_cast<uint8_t>(i), record.expressions[i], EXPRESSION_SIZE);
    }
    put(ELEM_EXPR_CONTROL, 0, record.exprControl, sizeof record.exprControl);
    put(ELEM_CHANNEL_TEXT, 2, record.expressionText, sizeof record.expressionText);
  }
  if (record.hasBlock38 == 1) put(ELEM_BLOCK38, 0, record.block38, sizeof record.block38);
  return written;
}
