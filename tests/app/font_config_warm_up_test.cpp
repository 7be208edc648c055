// The start-up's font-configuration warm-up: where Qt reads fontconfig, the configuration
// and the font caches are loaded once Wait returns, and not before the warm-up starts.
#include "app/font_config_warm_up.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

// Whether fontconfig's font caches are mapped into this process: loading the configuration
// maps them, and nothing else in this test does.
bool FontCachesMapped() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find("fontconfig") != std::string::npos && line.find(".cache-") != std::string::npos)
      return true;
  }
  return false;
}

TEST(FontConfigWarmUp, ConfigurationIsLoadedWhenWaitReturns) {
  ASSERT_FALSE(FontCachesMapped());
  WarmUp warmUp = StartFontConfigWarmUp();
  ASSERT_TRUE(warmUp.Started());
  warmUp.Wait();
  EXPECT_TRUE(FontCachesMapped());
  warmUp.Wait();  // a second wait returns at once
}

}  // namespace
