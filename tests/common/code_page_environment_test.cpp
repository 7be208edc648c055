// On POSIX the code page follows the locale environment, as the C library reads it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/code_page.h"

namespace {

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
