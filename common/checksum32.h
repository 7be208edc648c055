// Checksum32: the 32-bit block checksum of the text protocol and the firmware download
// header: a reflected cyclic checksum with constant 0x09823B6E, started from 0, without
// final inversion (not the common CRC-32). Pure; thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

uint32_t Checksum32(const uint8_t* data, size_t length);
