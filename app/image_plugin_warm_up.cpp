#include "app/image_plugin_warm_up.h"

#include <QApplication>
#include <QImageReader>
#include <QStyle>

ImagePluginWarmUp::ImagePluginWarmUp() {
  if (QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0) {
    return;
  }
  // Listing the readable formats loads every plugin; Qt's plugin loader is thread-safe, and
  // an image read on the user-interface thread meanwhile waits for the plugin it needs.
  m_thread = std::thread([] { (void)QImageReader::supportedImageFormats(); });
}

ImagePluginWarmUp::~ImagePluginWarmUp() {
  if (m_thread.joinable()) m_thread.join();
}
