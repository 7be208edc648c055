// netvora-draw-icons: draws the window's SVG icons while the program is built, so that the
// window shows ready images and renders no SVG when it starts.
//   netvora-draw-icons OUT_DIR SVG...
// Writes OUT_DIR/NAME.rgba for each NAME.svg: the image drawn at ICON_IMAGE_SIZE square,
// as the window shows it (transparent ground, antialiased), one row after the other, four
// bytes a pixel: red, green, blue, alpha, the colours premultiplied by alpha.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

#include "controls/icon_resources.h"

namespace {

bool DrawIcon(const QString& svgPath, const QDir& outDir) {
  QSvgRenderer renderer(svgPath);
  if (!renderer.isValid()) {
    std::fprintf(stderr, "netvora-draw-icons: %s is no SVG image\n", qPrintable(svgPath));
    return false;
  }
  QImage image(ICON_IMAGE_SIZE, ICON_IMAGE_SIZE, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  const QImage bytes = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
  const QString outPath = outDir.filePath(QFileInfo(svgPath).completeBaseName() + ".rgba");
  QFile out(outPath);
  const auto size = static_cast<qint64>(bytes.sizeInBytes());
  if (!out.open(QIODevice::WriteOnly) ||
      out.write(reinterpret_cast<const char*>(bytes.constBits()), size) != size) {
    std::fprintf(stderr, "netvora-draw-icons: cannot write %s\n", qPrintable(outPath));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Drawing needs no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: netvora-draw-icons OUT_DIR SVG...\n");
    return 2;
  }
  const QDir outDir(QString::fromLocal8Bit(argv[1]));
  if (!outDir.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "netvora-draw-icons: cannot make %s\n", argv[1]);
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    if (!DrawIcon(QString::fromLocal8Bit(argv[i]), outDir)) return 1;
  }
  return 0;
}
