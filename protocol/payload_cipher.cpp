#include "protocol/payload_cipher.h"

#include <cstring>

#include "common/byte_reader.h"

PayloadKey BuildPayloadKey(uint16_t checkWord) {
  PayloadKey key{};
  std::memcpy(key.bytes, PAYLOAD_KEY_CONSTANT, sizeof PAYLOAD_KEY_CONSTANT);
  key.bytes[14] = static_cast<uint8_t>(checkWord);
  key.bytes[15] = static_cast<uint8_t>(checkWord >> 8);
  return key;
}

namespace {

// RC4's starting permutation, copied in whole rather than built byte by byte.
constexpr struct IdentityPermutation {
  uint8_t values[256];
  constexpr IdentityPermutation() : values() {
    for (int i = 0; i < 256; ++i) values[i] = static_cast<uint8_t>(i);
  }
} IDENTITY;

}  // namespace

void Rc4Transform(const uint8_t* key, size_t keyLength, const uint8_t* in, uint8_t* out,
                  size_t length) {
  uint8_t state[256];
  std::memcpy(state, IDENTITY.values, sizeof state);
  // The indexes are kept in 32-bit registers and masked, and the key position steps and
  // wraps instead of being divided.
  uint32_t j = 0;
  for (uint32_t i = 0, k = 0; i < 256; ++i) {
    const uint8_t si = state[i];
    j = (j + si + key[k]) & 0xFF;
    state[i] = state[j];
    state[j] = si;
    if (++k == keyLength) k = 0;
  }
  uint32_t a = 0;
  uint32_t b = 0;
  const auto next = [&state, &a, &b]() -> uint32_t {
    a = (a + 1) & 0xFF;
    const uint8_t sa = state[a];
    b = (b + sa) & 0xFF;
    const uint8_t sb = state[b];
    state[a] = sb;
    state[b] = sa;
    return state[(sa + sb) & 0xFF];
  };
  // Four keystream bytes are gathered into one word and XORed over four input bytes.
  size_t n = 0;
  for (; n + 4 <= length; n += 4) {
    uint32_t keystream = next();
    keystream |= next() << 8;
    keystream |= next() << 16;
    keystream |= next() << 24;
    StoreLe32(out + n, LoadLe32(in + n) ^ keystream);
  }
  for (; n < length; ++n) out[n] = static_cast<uint8_t>(in[n] ^ next());
}

void CryptPayload(uint16_t checkWord, const uint8_t* in, uint8_t* out, size_t length) {
  const PayloadKey key = BuildPayloadKey(checkWord);
  Rc4Transform(key.bytes, sizeof key.bytes, in, out, length);
}
