#include "protocol/payload_cipher.h"

#include <cstring>
#include <utility>

PayloadKey BuildPayloadKey(uint16_t checkWord) {
  PayloadKey key{};
  std::memcpy(key.bytes, PAYLOAD_KEY_CONSTANT, sizeof PAYLOAD_KEY_CONSTANT);
  key.bytes[14] = static_cast<uint8_t>(checkWord);
  key.bytes[15] = static_cast<uint8_t>(checkWord >> 8);
  return key;
}

void Rc4Transform(const uint8_t* key, size_t keyLength, const uint8_t* in, uint8_t* out,
                  size_t length) {
  uint8_t state[256];
  for (int i = 0; i < 256; ++i) state[i] = static_cast<uint8_t>(i);
  uint8_t j = 0;
  for (int i = 0; i < 256; ++i) {
    j = static_cast<uint8_t>(j + state[i] + key[static_cast<size_t>(i) % keyLength]);
    std::swap(state[i], state[j]);
  }
  uint8_t a = 0;
  uint8_t b = 0;
  for (size_t n = 0; n < length; ++n) {
    a = static_cast<uint8_t>(a + 1);
    b = static_cast<uint8_t>(b + state[a]);
    std::swap(state[a], state[b]);
    out[n] = in[n] ^ state[static_cast<uint8_t>(state[a] + state[b])];
  }
}

void CryptPayload(uint16_t checkWord, const uint8_t* in, uint8_t* out, size_t length) {
  const PayloadKey key = BuildPayloadKey(checkWord);
  Rc4Transform(key.bytes, sizeof key.bytes, in, out, length);
}
