#include "common/debug_trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

std::mutex g_traceMutex;
int g_nTraceState = -1;  // -1: not yet read from the environment, 0 off, 1 on
std::string* g_pCapture = nullptr;

bool TraceEnabledLocked() {
  if (g_nTraceState < 0) {
    const char* value = std::getenv("NETVORA_DEBUG_TRACE");
    g_nTraceState = (value != nullptr && std::strcmp(value, "1") == 0) ? 1 : 0;
  }
  return g_nTraceState == 1;
}

}  // namespace

void DebugTrace(const char* text) {
  std::lock_guard<std::mutex> lock(g_traceMutex);
  if (g_pCapture != nullptr) g_pCapture->append(text);
  if (TraceEnabledLocked()) std::fputs(text, stderr);
}

void SetDebugTraceCapture(std::string* capture) {
  std::lock_guard<std::mutex> lock(g_traceMutex);
  g_pCapture = capture;
}
