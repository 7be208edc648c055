// SearchPrinters: finds the configuration-protocol printers on the local network by a
// broadcast (or directed) search on UDP port 50005. Blocks the calling thread until the
// network has been quiet for 2 seconds. Thread-compatible: one exchange binds the port.
#pragma once

#include <cstdint>
#include <vector>

#include "protocol/exchange.h"

constexpr int SEARCH_MODE_BROADCAST = 0;
constexpr int SEARCH_MODE_DIRECTED = 1;
constexpr uint32_t SEARCH_QUIET_MS = 2000;

// A printer that a search found, with the interface its first reply came in on.
struct FoundRecord {
  PrinterInfo info;
  uint32_t interfaceIndex;  // 0 when not known
};

// Fills the context's header and send buffer with the 32-byte search request for its
// operation and request flags.
void BuildSearchRequest(ExchangeContext* context);

// mode 0 broadcasts; mode 1 asks `address` (network order) only. Returns 1 when the
// exchange ran: table[0 .. *count-1] hold the printers in the order of their first
// replies, all other entries are zero. Returns -1 with *error set when the socket could
// not be prepared or the request not sent (count and table untouched), or with *error =
// EINVAL for a mode other than 0 or 1.
[[nodiscard]] int SearchPrinters(int mode, uint32_t address, PrinterInfo table[MAX_PRINTERS],
                                 int* count, int* error);

// The same search with its request sent along every route on the one socket: mode 0, each
// route a limited broadcast out of its interface; mode 1, each route a directed address (a
// host or a subnet's broadcast address). Every reply counts as in SearchPrinters, whichever
// route brought it. Returns 1 with *found holding the printers in the order of their first
// replies, each with its interface; -1 with *error as SearchPrinters (EINVAL also for no
// route), *found untouched.
[[nodiscard]] int SearchPrintersAlong(int mode, const std::vector<DatagramRoute>& routes,
                                      std::vector<FoundRecord>* found, int* error);
