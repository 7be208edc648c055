#include "app/image_plugin_warm_up.h"

#include <QApplication>
#include <QImageReader>
#include <QStyle>

WarmUp StartImagePluginWarmUp() {
  if (QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0) {
    return WarmUp();
  }
  // Listing the readable formats loads every plugin; Qt's plugin loader is thread-safe, and
  // an image read on the user-interface thread meanwhile waits for the plugin it needs.
  return WarmUp([] { (void)QImageReader::supportedImageFormats(); });
}
