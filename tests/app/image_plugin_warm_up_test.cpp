// The start-up's image-plugin warm-up on the offscreen platform: it loads the plugins under
// Fusion, on its own thread, and leaves other styles alone.
#include "app/image_plugin_warm_up.h"

#include <QApplication>
#include <QFile>
#include <QStyleFactory>
#include <QtTest>

class ImagePluginWarmUpTest : public QObject {
  Q_OBJECT

 private slots:
  void otherStylesLoadNothing();
  void fusionLoadsTheImagePluginsOnAnotherThread();
};

namespace {

// Whether any image-format plugin is mapped into this process.
bool ImagePluginLoaded() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
}

}  // namespace

void ImagePluginWarmUpTest::otherStylesLoadNothing() {
  QStyle* windows = QStyleFactory::create(QStringLiteral("Windows"));
  QVERIFY(windows != nullptr);
  QApplication::setStyle(windows);
  {
    const WarmUp warmUp = StartImagePluginWarmUp();
    QVERIFY(!warmUp.Started());
  }
  QVERIFY(!ImagePluginLoaded());
}

void ImagePluginWarmUpTest::fusionLoadsTheImagePluginsOnAnotherThread() {
  QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
  QVERIFY(fusion != nullptr);
  QApplication::setStyle(fusion);
  QVERIFY(!ImagePluginLoaded());
  {
    const WarmUp warmUp = StartImagePluginWarmUp();
    QVERIFY(warmUp.Started());
  }  // joined
  QVERIFY(ImagePluginLoaded());
}

QTEST_MAIN(ImagePluginWarmUpTest)
#include "image_plugin_warm_up_test.moc"
