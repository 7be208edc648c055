#include "operations/row_map.h"

bool RemoveTextRowEntry(RowMap* map, size_t row) {
  if (row >= map->size() || (*map)[row].kind != ROW_TEXT) return false;
  const int removedText = (*map)[row].index;
  map->erase(map->begin() + static_cast<std::ptrdiff_t>(row));
  for (RowEntry& entry : *map) {
    if (entry.kind == ROW_TEXT && entry.index > removedText) --entry.index;
  }
  return true;
}
