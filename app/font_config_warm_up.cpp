#include "app/font_config_warm_up.h"

#include "app/font_configuration.h"

WarmUp StartFontConfigWarmUp() {
  if (!HasFontConfiguration()) return WarmUp();
  return WarmUp(LoadFontConfiguration);
}
