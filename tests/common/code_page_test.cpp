// The code page that selects the language, from the locale environment.
#include "common/code_page.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

TEST(CodePage, LcAllOverridesLcCtypeWhichOverridesLang) {
  setenv("LANG", "ko_KR.UTF-8", 1);
  setenv("LC_CTYPE", "en_US.UTF-8", 1);
  setenv("LC_ALL", "", 1);
  EXPECT_EQ(1252, SystemCodePage());  // an empty LC_ALL does not count
  setenv("LC_ALL", "ko_KR.UTF-8", 1);
  EXPECT_EQ(949, SystemCodePage());
  unsetenv("LC_ALL");
  unsetenv("LC_CTYPE");
  EXPECT_EQ(949, SystemCodePage());
  unsetenv("LANG");
  EXPECT_EQ(1252, SystemCodePage());
}

}  // namespace
