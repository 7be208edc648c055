#include <fontconfig/fontconfig.h>

#include "app/font_configuration.h"

bool HasFontConfiguration() { return true; }

void LoadFontConfiguration() {
  // Makes the configuration current; Qt's font database later finds it loaded. A failure
  // leaves nothing loaded, and Qt's own first call reports it as before.
  (void)FcInit();
}
