// netvora: the window for finding printer interfaces and setting them up.
#include <QApplication>

#include "app/config_app.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("netvora"));
  CConfigApp app;
  return app.InitInstance();
}
