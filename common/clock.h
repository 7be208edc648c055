// Millisecond clock of the core (timeGetTime / GetTickCount): monotonic, 32-bit unsigned,
// so differences are taken with unsigned arithmetic and survive the wrap. Thread-safe.
#pragma once

#include <cstdint>

// Milliseconds since an arbitrary fixed point, wrapping modulo 2^32.
uint32_t MillisecondClock();

// Blocks the calling thread for `milliseconds` (Sleep).
void SleepMilliseconds(uint32_t milliseconds);
