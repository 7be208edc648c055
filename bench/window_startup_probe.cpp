// A start-up probe: shows one window, waits until it is exposed, prints the milliseconds
// since the process started and exits. Built three times: with NETVORA_PROBE_MAIN_WINDOW it
// starts the main window as the program does; with NETVORA_PROBE_ONE_LABEL a dialog that
// shows one word, which is what the toolkit's fonts cost any window with text; with
// neither one empty dialog (the toolkit's floor).
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#ifdef NETVORA_PROBE_MAIN_WINDOW
#include "app/config_dlg.h"
#include "app/image_plugin_warm_up.h"
#endif

namespace {

// Milliseconds since this process started, from its start time in /proc/self/stat.
double MillisecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const size_t afterName = text.rfind(')');
  std::istringstream fields(text.substr(afterName + 2));
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
  }
  const double startSeconds = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return (now.tv_sec + now.tv_nsec / 1e9 - startSeconds) * 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
#ifdef NETVORA_PROBE_MAIN_WINDOW
  const ImagePluginWarmUp warmUp;
  CConfigDlg window;
#else
  QDialog window;
#ifdef NETVORA_PROBE_ONE_LABEL
  const QLabel label(QStringLiteral("Search"), &window);
#endif
#endif
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  std::printf("%.1f\n", MillisecondsSinceProcessStart());
  return 0;
}
