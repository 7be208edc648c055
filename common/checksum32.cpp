#include "common/checksum32.h"

#include <array>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define NETVORA_CHECKSUM32_CLMUL 1
#endif

namespace {

// The eight bit steps applied to one byte value: each step XORs 0x09823B6E into an odd
// value, then shifts right by one.
constexpr std::array<uint32_t, 256> MakeByteSteps() {
  std::array<uint32_t, 256> table{};
  for (uint32_t value = 0; value < 256; ++value) {
    uint32_t t = value;
    for (int bit = 0; bit < 8; ++bit) {
      if ((t & 1) != 0) t ^= 0x09823B6E;
      t >>= 1;
    }
    table[value] = t;
  }
  return table;
}

constexpr std::array<uint32_t, 256> BYTE_STEPS = MakeByteSteps();

uint32_t ChecksumBytes(uint32_t c, const uint8_t* data, size_t length) {
  for (size_t i = 0; i < length; ++i) c = BYTE_STEPS[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c;
}

#ifdef NETVORA_CHECKSUM32_CLMUL

// Firmware images run to megabytes: on x86-64 the checksum folds 64 bytes a step with
// carry-less multiplication. The checksum is the remainder of the block (its first byte's
// lowest bit the highest power, as the byte steps read it) times x^32, modulo
// P = x^32 + the polynomial whose coefficients of x^31 .. x^0 are the bits of 0xEDB88320
// (0x09823B6E shifted right by one, bit-reversed). A 16-byte lane holds H x^64 + L, and
// H x^(64+F) + L x^F is congruent to it moved F bits further on; multiplying H and L by
// those powers reduced modulo P moves a lane over the next F bits. The last lane and the
// bytes after it then go through the byte steps from a checksum of 0.
constexpr uint32_t POLYNOMIAL = 0xEDB88320;
constexpr size_t FOLD_MIN_LENGTH = 64;

constexpr uint32_t Reversed32(uint32_t value) {
  uint32_t reversed = 0;
  for (int bit = 0; bit < 32; ++bit) {
    if ((value >> bit) & 1) reversed |= 1u << (31 - bit);
  }
  return reversed;
}

// x^n mod P, bit-reversed into the lanes' order and shifted left by one, so that a
// carry-less product with 64 lane bits lands where the lane's 128 bits expect it: the
// multiplier for moving F bits is FoldMultiplier(F + 32) for H and FoldMultiplier(F - 32)
// for L.
constexpr uint64_t FoldMultiplier(int n) {
  uint64_t remainder = 1;
  for (int i = 0; i < n; ++i) {
    remainder <<= 1;
    if ((remainder >> 32) != 0) remainder ^= (uint64_t{1} << 32) | POLYNOMIAL;
  }
  return uint64_t{Reversed32(static_cast<uint32_t>(remainder))} << 1;
}

constexpr uint64_t MOVE_128_HIGH = FoldMultiplier(128 + 32);
constexpr uint64_t MOVE_128_LOW = FoldMultiplier(128 - 32);
constexpr uint64_t MOVE_512_HIGH = FoldMultiplier(512 + 32);
constexpr uint64_t MOVE_512_LOW = FoldMultiplier(512 - 32);

__attribute__((target("pclmul,sse2"))) inline __m128i Move(__m128i lane, __m128i multipliers) {
  return _mm_xor_si128(_mm_clmulepi64_si128(lane, multipliers, 0x00),
                       _mm_clmulepi64_si128(lane, multipliers, 0x11));
}

__attribute__((target("pclmul,sse2"))) inline __m128i Load(const uint8_t* data) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
}

// Four lanes 64 bytes apart, each moved over the next 64 bytes, then folded into one lane
// that is moved over the remaining 16-byte blocks. Needs at least FOLD_MIN_LENGTH bytes.
__attribute__((target("pclmul,sse2"))) uint32_t ChecksumFolded(const uint8_t* data, size_t length) {
  const __m128i move512 =
      _mm_set_epi64x(static_cast<int64_t>(MOVE_512_LOW), static_cast<int64_t>(MOVE_512_HIGH));
  const __m128i move128 =
      _mm_set_epi64x(static_cast<int64_t>(MOVE_128_LOW), static_cast<int64_t>(MOVE_128_HIGH));
  __m128i lanes[4] = {Load(data), Load(data + 16), Load(data + 32), Load(data + 48)};
  size_t at = 64;
  for (; at + 64 <= length; at += 64) {
    for (int i = 0; i < 4; ++i) {
      lanes[i] = _mm_xor_si128(Move(lanes[i], move512), Load(data + at + 16 * i));
    }
  }
  __m128i lane = lanes[0];
  for (int i = 1; i < 4; ++i) lane = _mm_xor_si128(Move(lane, move128), lanes[i]);
  for (; at + 16 <= length; at += 16) lane = _mm_xor_si128(Move(lane, move128), Load(data + at));
  uint8_t last[16];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(last), lane);
  return ChecksumBytes(ChecksumBytes(0, last, sizeof last), data + at, length - at);
}

#endif

}  // namespace

uint32_t Checksum32(const uint8_t* data, size_t length) {
#ifdef NETVORA_CHECKSUM32_CLMUL
  if (length >= FOLD_MIN_LENGTH && __builtin_cpu_supports("pclmul")) {
    return ChecksumFolded(data, length);
  }
#endif
  return ChecksumBytes(0, data, length);
}
