// The fonts that the main window's construction and first paint load, in a process of its
// own: only the window's own, not the application's font that none of its controls shows.
#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QSet>
#include <QtTest>

#include "app/config_dlg.h"

class WindowFontsTest : public QObject {
  Q_OBJECT

 private slots:
  void firstPaintLoadsOnlyTheWindowsFonts();
};

namespace {

// The font files mapped into this process; the font engine maps each file it loads.
QSet<QByteArray> MappedFontFiles() {
  QSet<QByteArray> files;
  QFile maps(QStringLiteral("/proc/self/maps"));
  if (!maps.open(QIODevice::ReadOnly)) return files;
  for (const QByteArray& line : maps.readAll().split('\n')) {
    const QByteArray path = line.mid(line.indexOf('/'));
    for (const char* suffix : {".ttf", ".ttc", ".otf", ".otc", ".pfb"}) {
      if (line.contains('/') && path.toLower().endsWith(suffix)) files.insert(path);
    }
  }
  return files;
}

}  // namespace

void WindowFontsTest::firstPaintLoadsOnlyTheWindowsFonts() {
  QVERIFY(MappedFontFiles().isEmpty());
  CConfigDlg dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  const QSet<QByteArray> windowFonts = MappedFontFiles();
  QVERIFY(!windowFonts.isEmpty());

  // Only now the application's font is loaded, for the first time in this process.
  const QFont applicationFont = QApplication::font();
  if (QFontInfo(applicationFont).family() == QFontInfo(dialog.font()).family())
    QSKIP("the application's font is the window's on this system");
  QVERIFY(MappedFontFiles() != windowFonts);
}

QTEST_MAIN(WindowFontsTest)
#include "window_fonts_test.moc"
