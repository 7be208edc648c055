// netvora: the window for finding printer interfaces and setting them up.
#include <QApplication>

#include "app/config_app.h"
#include "app/font_config_warm_up.h"

int main(int argc, char** argv) {
  WarmUp fontConfig = StartFontConfigWarmUp();  // beside the application object's construction
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("netvora"));
  fontConfig.Wait();
  CConfigApp app;
  return app.InitInstance();
}
