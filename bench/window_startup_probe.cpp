// A start-up probe: shows one window, waits until it is exposed (painted once), prints the
// milliseconds since stamped-exec started it and exits. Built three times: with
// NETVORA_PROBE_MAIN_WINDOW it starts the main window as the program does; with
// NETVORA_PROBE_ONE_LABEL a dialog that shows one word, which is what the toolkit's fonts
// cost any window with text; with neither one empty dialog (the toolkit's floor).
//   stamped-exec startup-probe-NAME
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "bench/start_stamp.h"

#ifdef NETVORA_PROBE_MAIN_WINDOW
#include "app/config_dlg.h"
#include "app/font_config_warm_up.h"
#include "app/image_plugin_warm_up.h"
#endif

int main(int argc, char** argv) {
  const char* stamp = std::getenv(START_STAMP_VARIABLE);
  if (stamp == nullptr) {
    std::fprintf(stderr, "%s: start me through stamped-exec\n", argv[0]);
    return 2;
  }
  const int64_t started = std::strtoll(stamp, nullptr, 10);
#ifdef NETVORA_PROBE_MAIN_WINDOW
  WarmUp fontConfig = StartFontConfigWarmUp();
#endif
  QApplication application(argc, argv);
#ifdef NETVORA_PROBE_MAIN_WINDOW
  fontConfig.Wait();
  const WarmUp imagePlugins = StartImagePluginWarmUp();
  CConfigDlg window;
#else
  QDialog window;
#ifdef NETVORA_PROBE_ONE_LABEL
  const QLabel label(QStringLiteral("Search"), &window);
#endif
#endif
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  std::printf("%.2f\n", (MonotonicNanoseconds() - started) / 1e6);
  return 0;
}
