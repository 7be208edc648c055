#include "app/font_configuration.h"

bool HasFontConfiguration() { return false; }

void LoadFontConfiguration() {}
