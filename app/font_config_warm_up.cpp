#include "app/font_config_warm_up.h"

#include "app/font_configuration.h"

FontConfigWarmUp::FontConfigWarmUp() {
  if (!HasFontConfiguration()) return;
  m_thread = std::thread(LoadFontConfiguration);
  m_bStarted = true;
}

FontConfigWarmUp::~FontConfigWarmUp() { Wait(); }

void FontConfigWarmUp::Wait() {
  if (m_thread.joinable()) m_thread.join();
}
