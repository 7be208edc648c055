// ConfigCrc16: the check word of the configuration protocol's elements and payloads.
// CRC-16 with polynomial 0x1021, initial value 0x1D0F, no reflection, no final XOR
// (catalogue name CRC-16/SPI-FUJITSU, alias CRC-16/AUG-CCITT). Pure; thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

uint16_t ConfigCrc16(const uint8_t* data, size_t length);
