// Bounds-checked reading of a byte block: every decoder of the core reads its input
// through one ByteReader, so no input can make it read past its end.
// Not thread-safe; the block must stay alive while the reader is in use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : m_pData(data), m_nSize(size) {}

  size_t Remaining() const { return m_nSize - m_nPos; }
  bool CanRead(size_t count) const { return count <= Remaining(); }

  // The next `count` bytes without consuming them, or nullptr when fewer remain.
  const uint8_t* Peek(size_t count) const { return CanRead(count) ? m_pData + m_nPos : nullptr; }
  // Steps over `count` bytes; false, with the position unchanged, when fewer remain.
  [[nodiscard]] bool Skip(size_t count) {
    if (!CanRead(count)) return false;
    m_nPos += count;
    return true;
  }

 private:
  const uint8_t* m_pData;
  size_t m_nSize;
  size_t m_nPos = 0;
};

// Little-endian words inside fixed fields whose size the caller has already checked.
inline uint16_t LoadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LoadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void StoreLe16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Big-endian (network order) words, used to read IPv4 addresses as numbers.
inline uint32_t LoadBe32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
inline void StoreBe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// An IPv4 address held in network byte order (as in in_addr) as a host-order number, with
// the first octet in the most significant byte, and back.
inline uint32_t NetworkToHost32(uint32_t networkOrder) {
  uint8_t bytes[4];
  std::memcpy(bytes, &networkOrder, 4);
  return LoadBe32(bytes);
}
inline uint32_t HostToNetwork32(uint32_t hostOrder) {
  uint8_t bytes[4];
  StoreBe32(bytes, hostOrder);
  uint32_t networkOrder;
  std::memcpy(&networkOrder, bytes, 4);
  return networkOrder;
}
