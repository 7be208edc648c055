// The result list's row table: removing a text row keeps every other row pointing at its
// own data.
#include "operations/row_map.h"

#include <gtest/gtest.h>

static bool operator==(const RowEntry& a, const RowEntry& b) {
  return a.kind == b.kind && a.dhcp == b.dhcp && a.index == b.index;
}

namespace {

// Two configuration rows, then text rows whose replies sit in the store in the order
// 0, 2, 1 (a saved printer's reply moves to the end of the store).
RowMap MixedRows() {
  return {
      {ROW_CONFIG, 0, 0}, {ROW_CONFIG, 0, 1}, {ROW_TEXT, 1, 0}, {ROW_TEXT, 0, 2}, {ROW_TEXT, 0, 1}};
}

}  // namespace

TEST(RowMap, RemovingATextRowRenumbersOnlyTheTextsBehindIt) {
  struct Row {
    const char* name;
    size_t removed;
    RowMap expected;
  } rows[] = {
      {"first text row, store 0",
       2,
       {{ROW_CONFIG, 0, 0}, {ROW_CONFIG, 0, 1}, {ROW_TEXT, 0, 1}, {ROW_TEXT, 0, 0}}},
      {"middle text row, store 2",
       3,
       {{ROW_CONFIG, 0, 0}, {ROW_CONFIG, 0, 1}, {ROW_TEXT, 1, 0}, {ROW_TEXT, 0, 1}}},
      {"last text row, store 1",
       4,
       {{ROW_CONFIG, 0, 0}, {ROW_CONFIG, 0, 1}, {ROW_TEXT, 1, 0}, {ROW_TEXT, 0, 1}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RowMap map = MixedRows();
    ASSERT_TRUE(RemoveTextRowEntry(&map, row.removed));
    EXPECT_TRUE(map == row.expected);
  }
}

TEST(RowMap, ConfigurationRowsAndRowsPastTheEndAreNotRemoved) {
  for (size_t row : {size_t{0}, size_t{1}, size_t{5}, size_t{500}}) {
    SCOPED_TRACE(row);
    RowMap map = MixedRows();
    EXPECT_FALSE(RemoveTextRowEntry(&map, row));
    EXPECT_TRUE(map == MixedRows());
  }
}
