// The payload cipher of the configuration protocol: RC4 under a 16-byte PayloadKey built
// anew for every datagram (a fixed 14-byte constant followed by the header's check word,
// low byte first). Enciphering and deciphering are the same operation. Pure; thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes 0-13 of every PayloadKey: the ASCII text "NetvoraCfgKey1", shared with the printers.
constexpr uint8_t PAYLOAD_KEY_CONSTANT[14] = {'N', 'e', 't', 'v', 'o', 'r', 'a',
                                              'C', 'f', 'g', 'K', 'e', 'y', '1'};
constexpr size_t PAYLOAD_KEY_SIZE = 16;

struct PayloadKey {
  uint8_t bytes[PAYLOAD_KEY_SIZE];
};

PayloadKey BuildPayloadKey(uint16_t checkWord);

// RC4: XORs `length` bytes of the keystream of `key` over `in` into `out` (a fresh key
// schedule, no keystream bytes discarded). `in` and `out` may be the same block.
void Rc4Transform(const uint8_t* key, size_t keyLength, const uint8_t* in, uint8_t* out,
                  size_t length);

// XORs `length` RC4 keystream bytes under BuildPayloadKey(checkWord) over `in` into `out`.
// `in` and `out` may be the same block.
void CryptPayload(uint16_t checkWord, const uint8_t* in, uint8_t* out, size_t length);
