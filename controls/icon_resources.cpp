#include "controls/icon_resources.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

constexpr int DEFAULT_ICON_SIZE = 32;

struct IconFile {
  int resourceId;
  const char* path;
};

constexpr IconFile ICON_FILES[] = {
    {IDR_MAINFRAME, ":/icons/application.svg"},
    {IDI_SAVE, ":/icons/save.svg"},
    {IDI_EXIT, ":/icons/exit.svg"},
    {IDI_OPEN_FIRMWARE, ":/icons/open_firmware.svg"},
    {IDI_FIRMWARE_UPDATE, ":/icons/firmware_update.svg"},
    {IDI_SEARCH, ":/icons/search.svg"},
    {IDI_READ, ":/icons/read.svg"},
    {IDI_SEARCH_BUSY, ":/icons/search_busy.svg"},
    {IDI_TEST_PRINT, ":/icons/test_print.svg"},
    {IDI_TEST_PRINT_KOREAN, ":/icons/test_print_korean.svg"},
};

}  // namespace

QString IconResourcePath(int resourceId) {
  for (const IconFile& file : ICON_FILES) {
    if (file.resourceId == resourceId) return QString::fromLatin1(file.path);
  }
  return QString();
}

QIcon LoadIconResource(int resourceId, int width, int height) {
  const QString path = IconResourcePath(resourceId);
  if (path.isEmpty()) return QIcon();
  QSvgRenderer renderer(path);
  if (!renderer.isValid()) return QIcon();
  // Drawn here rather than through an image plugin, so no plugin is needed at run time.
  QPixmap pixmap(width > 0 ? width : DEFAULT_ICON_SIZE, height > 0 ? height : DEFAULT_ICON_SIZE);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  painter.end();
  return QIcon(pixmap);
}
