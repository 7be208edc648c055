// Debug trace of the core (OutputDebugStringA): text for a developer, written to standard
// error only while the environment variable NETVORA_DEBUG_TRACE is 1 (read at the first
// call). Thread-safe.
#pragma once

#include <string>

void DebugTrace(const char* text);

// Everything traced while `capture` is non-null is appended to it as well (for tests);
// pass nullptr to stop capturing.
void SetDebugTraceCapture(std::string* capture);
