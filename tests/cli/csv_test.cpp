// CSV as RFC 4180 defines it: reading records with the lines they start on, quoting fields so
// that any bytes read back as written.
#include "cli/csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ReadCsv, ReadsRecordsFieldsAndTheLinesTheyStartOn) {
  struct Row {
    const char* name;
    std::string text;
    std::vector<CsvRow> expected;
  } rows[] = {
      {"plain, CRLF and a last line without its end",
       "a,b\r\nc,d",
       {{1, {"a", "b"}}, {2, {"c", "d"}}}},
      {"LF and lone CR line ends, empty fields and a blank line",
       "a,,\n\rb\n",
       {{1, {"a", "", ""}}, {2, {""}}, {3, {"b"}}}},
      // RFC 4180 section 2, rules 5 to 7.
      {"quoted fields with commas, doubled quotes and line breaks",
       "\"a,b\",\"say \"\"hi\"\"\",\"x\r\ny\nz\"\r\nnext\r\n",
       {{1, {"a,b", "say \"hi\"", "x\r\ny\nz"}}, {4, {"next"}}}},
      {"an empty quoted field and spaces kept", "\"\", a ,\" \"\n", {{1, {"", " a ", " "}}}},
      {"nothing at all", "", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<CsvRow> records;
    std::string error;
    ASSERT_TRUE(ReadCsv(row.text, &records, &error)) << error;
    ASSERT_EQ(row.expected.size(), records.size());
    for (size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(row.expected[i].line, records[i].line) << i;
      EXPECT_EQ(row.expected[i].fields, records[i].fields) << i;
    }
  }
}

TEST(ReadCsv, RefusesMalformedTextNamingItsLine) {
  struct Row {
    const char* name;
    const char* text;
    const char* error;
  } rows[] = {
      {"quote inside an unquoted field", "a,b\nc\"d,e\n",
       "line 2: a double quote inside an unquoted field"},
      {"text after a closing quote", "a\n\"b\"c\n", "line 2: text after a closing double quote"},
      {"a quoted field that never closes", "a\n\"b\nc,d\n", "line 2: a quoted field never closes"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<CsvRow> records;
    std::string error;
    EXPECT_FALSE(ReadCsv(row.text, &records, &error));
    EXPECT_EQ(row.error, error);
  }
}

TEST(CsvField, QuotesOnlyWhatNeedsItAndEveryByteReadsBack) {
  EXPECT_EQ("198.51.100.2", CsvField("198.51.100.2"));
  EXPECT_EQ("", CsvField(""));
  EXPECT_EQ("\"a,b\"", CsvField("a,b"));
  EXPECT_EQ("\"say \"\"hi\"\"\"", CsvField("say \"hi\""));
  EXPECT_EQ("\" pad\"", CsvField(" pad"));
  EXPECT_EQ("a,\"b\r\nc\",\r\n", CsvRecord({"a", "b\r\nc", ""}));
  // Each byte value, alone and between others, in a record with a field after it.
  for (int byte = 0; byte < 256; ++byte) {
    SCOPED_TRACE(byte);
    const std::string field = "x" + std::string(1, static_cast<char>(byte)) + "\"y";
    std::vector<CsvRow> records;
    std::string error;
    ASSERT_TRUE(ReadCsv(CsvRecord({field, std::string(1, static_cast<char>(byte)), "end"}),
                        &records, &error))
        << error;
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ((std::vector<std::string>{field, std::string(1, static_cast<char>(byte)), "end"}),
              records[0].fields);
  }
}

}  // namespace
