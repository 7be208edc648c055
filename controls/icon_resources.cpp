#include "controls/icon_resources.h"

#include <QFile>
#include <QImage>
#include <QPixmap>

namespace {

struct IconFile {
  int resourceId;
  const char* path;
};

// Drawn from res/icons/NAME.svg while the program is built (netvora-draw-icons).
constexpr IconFile ICON_FILES[] = {
    {IDR_MAINFRAME, ":/icons/application.rgba"},
    {IDI_SAVE, ":/icons/save.rgba"},
    {IDI_EXIT, ":/icons/exit.rgba"},
    {IDI_OPEN_FIRMWARE, ":/icons/open_firmware.rgba"},
    {IDI_FIRMWARE_UPDATE, ":/icons/firmware_update.rgba"},
    {IDI_SEARCH, ":/icons/search.rgba"},
    {IDI_READ, ":/icons/read.rgba"},
    {IDI_SEARCH_BUSY, ":/icons/search_busy.rgba"},
    {IDI_TEST_PRINT, ":/icons/test_print.rgba"},
    {IDI_TEST_PRINT_KOREAN, ":/icons/test_print_korean.rgba"},
};

constexpr qint64 ICON_IMAGE_BYTES = qint64{ICON_IMAGE_SIZE} * ICON_IMAGE_SIZE * 4;

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
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QIcon();
  const QByteArray bytes = file.readAll();
  if (bytes.size() != ICON_IMAGE_BYTES) return QIcon();
  // The image borrows the bytes; the conversion makes the copy that the pixmap keeps.
  const QImage drawn(reinterpret_cast<const uchar*>(bytes.constData()), ICON_IMAGE_SIZE,
                     ICON_IMAGE_SIZE, QImage::Format_RGBA8888_Premultiplied);
  QPixmap pixmap = QPixmap::fromImage(drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied));
  const QSize size(width > 0 ? width : ICON_IMAGE_SIZE, height > 0 ? height : ICON_IMAGE_SIZE);
  if (size != pixmap.size()) {
    pixmap = pixmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return QIcon(pixmap);
}
