// The start stamp of the start-up probes: stamped-exec reads the monotonic clock and passes
// it to the probe it starts through the environment; the probe reads the clock again when
// its window is shown. Both ends use these two functions. Thread-safe.
#pragma once

#include <cstdint>

// The environment variable that carries the stamp: CLOCK_MONOTONIC in nanoseconds, decimal.
inline constexpr char START_STAMP_VARIABLE[] = "NETVORA_START_NS";

// CLOCK_MONOTONIC now, in nanoseconds.
int64_t MonotonicNanoseconds();
