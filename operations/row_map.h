// The row table of the main window's result list: one entry per list row, at the row's
// position, saying where the row's data lives (configuration rows in the printer table,
// text rows in the store of text replies). It grows with the list, so every row is
// described whatever the number of rows. Plain data; not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum RowKind : uint8_t { ROW_TEXT = 0, ROW_CONFIG = 1 };

struct RowEntry {
  RowKind kind;
  uint8_t dhcp;  // text rows: 1 when the reply said DHCP is on (no operation reads it)
  int index;     // ROW_CONFIG: position in the printer table; ROW_TEXT: in the reply store
};

using RowMap = std::vector<RowEntry>;

// Removes text entry `row`, whose reply text leaves the reply store with it: the later
// entries move up one place, and every text entry that pointed behind the removed text
// points one place nearer. Returns false, changing nothing, when `row` is not a text entry.
bool RemoveTextRowEntry(RowMap* map, size_t row);
