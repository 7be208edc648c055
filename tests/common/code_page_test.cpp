// The code page that selects the language, from a locale name, and the code page 949 bytes
// that go to a printer.
#include "common/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CodePage, KoreanLocalesGive949AndOthers1252) {
  struct Row {
    const char* locale;
    int codePage;
  } rows[] = {
      {"ko_KR.UTF-8", 949},  {"ko_KR.eucKR", 949}, {"ko", 949},      {"ko.UTF-8", 949},
      {"en_US.UTF-8", 1252}, {"C", 1252},          {"kok_IN", 1252}, {"", 1252},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.locale);
    EXPECT_EQ(row.codePage, CodePageOfLocale(row.locale));
  }
}

TEST(CodePage, Utf8BecomesCodePage949BytesAndUnknownCharactersQuestionMarks) {
  struct Row {
    const char* name;
    std::string utf8;
    std::string expected;
  } rows[] = {
      {"ASCII stays", "IP : 9100", "IP : 9100"},
      {"Hangul", "\xEC\xA3\xBC\xEC\x86\x8C", "\xC1\xD6\xBC\xD2"},  // "주소"
      {"a character that code page 949 lacks",
       "a\xE0\xB8\x81"
       "b",
       "a?b"},  // Thai ko kai
      {"empty", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.expected, ToCodePage949(row.utf8));
  }
}

}  // namespace
