// The custom controls as real widgets on the offscreen platform.
#include <QDialog>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QVBoxLayout>
#include <QtTest>

#include "controls/hover_button.h"
#include "controls/icon_resources.h"
#include "controls/ip_address_field.h"
#include "controls/xp_group_box.h"

class ControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void hoverButtonTakesOverTheTemplateType_data();
  void hoverButtonTakesOverTheTemplateType();
  void defaultButtonKeepsEnterAndItsBlackFrame();
  void pressedButtonShiftsIconAndCaptionAndSinks();
  void iconPlacementFollowsTheCaption();
  void setIconReplacesTheIconsHeld();
  void iconsShowTheirSvgImagesAsTheyDraw_data();
  void iconsShowTheirSvgImagesAsTheyDraw();
  void checkBoxModeTogglesAndStillNotifies();
  void disabledButtonHandsTheFocusOn();
  void flatModeTracksTheMouseUntilItLeaves();
  void groupBoxPlacesItsCaptionByAlignment_data();
  void groupBoxPlacesItsCaptionByAlignment();
  void boxedStylePutsTheCaptionAboveTheBody();
  void groupBoxWithoutCaptionHasNoGap();
  void groupBoxSettersChainAndKeepTheFace();
  void groupBoxTakesItsCaptionOnceFromTheTitle();
  void ipFieldReadsPartsAsOctets();
};

namespace {

QImage Render(QWidget* widget) {
  QImage image(widget->size(), QImage::Format_ARGB32);
  image.fill(Qt::magenta);
  widget->render(&image);
  return image;
}

}  // namespace

void ControlsTest::hoverButtonTakesOverTheTemplateType_data() {
  QTest::addColumn<int>("type");
  QTest::addColumn<int>("priorType");
  QTest::addColumn<bool>("checkBoxMode");
  QTest::addColumn<bool>("isDefault");
  QTest::newRow("push button") << 0 << 0 << false << false;
  QTest::newRow("default push button") << 1 << 0 << false << true;
  QTest::newRow("check box") << 2 << 2 << true << false;
  QTest::newRow("automatic check box") << 3 << 3 << true << false;
  QTest::newRow("style bits above the type are ignored") << 0x51 << 0 << false << true;
}

void ControlsTest::hoverButtonTakesOverTheTemplateType() {
  QFETCH(int, type);
  QFETCH(int, priorType);
  QFETCH(bool, checkBoxMode);
  QFETCH(bool, isDefault);
  CHoverButton button;
  QCOMPARE(button.PriorType(), 15);
  QVERIFY(button.IsFlat());
  button.PreSubclassWindow(type);
  QCOMPARE(button.PriorType(), priorType);
  QCOMPARE(button.IsCheckBoxMode(), checkBoxMode);
  QCOMPARE(button.isDefault(), isDefault);
}

void ControlsTest::defaultButtonKeepsEnterAndItsBlackFrame() {
  QDialog dialog;
  auto* other = new CHoverButton(&dialog);
  auto* search = new CHoverButton(&dialog);
  other->setAutoDefault(false);
  search->setAutoDefault(false);
  search->PreSubclassWindow(CHoverButton::TYPE_DEFAULT_PUSH);
  for (CHoverButton* button : {other, search}) {
    button->setText(QStringLiteral("Search"));
    button->resize(120, 40);
    button->SetFlat(false);
  }
  QVBoxLayout layout(&dialog);
  layout.addWidget(other);
  layout.addWidget(search);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  other->setFocus();
  QSignalSpy clicked(search, &QPushButton::clicked);
  QTest::keyClick(&dialog, Qt::Key_Return);
  QCOMPARE(clicked.count(), 1);

  other->clearFocus();
  QCOMPARE(QColor(Render(search).pixel(0, 0)), QColor(Qt::black));
  QVERIFY(QColor(Render(other).pixel(0, 0)) != QColor(Qt::black));
  search->SetButtonStyle(CHoverButton::TYPE_PUSH);
  QVERIFY(!search->isDefault());
  QVERIFY(QColor(Render(search).pixel(0, 0)) != QColor(Qt::black));
}

void ControlsTest::pressedButtonShiftsIconAndCaptionAndSinks() {
  CHoverButton button;
  button.resize(120, 40);
  button.setText(QStringLiteral("Save"));
  button.SetIcon(IDI_SAVE, 32, 32);
  button.SetFlat(false);
  const QRect icon = button.IconRect();
  const QRect caption = button.CaptionRect();
  const QColor raisedCorner = Render(&button).pixel(0, 0);
  button.setDown(true);
  QCOMPARE(button.IconRect(), icon.translated(1, 1));
  QCOMPARE(button.CaptionRect(), caption.translated(1, 1));
  const QImage pressed = Render(&button);
  QCOMPARE(pressed.pixel(0, 0), button.palette().color(QPalette::Dark).rgb());
  QCOMPARE(raisedCorner.rgb(), button.palette().color(QPalette::Light).rgb());
}

void ControlsTest::iconPlacementFollowsTheCaption() {
  CHoverButton button;
  button.resize(120, 40);
  button.SetIcon(IDI_EXIT, 32, 32);
  QCOMPARE(button.IconRect(), QRect((120 - 32) / 2, (40 - 32) / 2, 32, 32));  // no caption
  button.setText(QStringLiteral("Exit"));
  QCOMPARE(button.IconRect(), QRect(3, 4, 32, 32));
  const QRect caption = button.CaptionRect();
  const int areaLeft = 3 + 32;
  QCOMPARE(caption.center().x(),
           areaLeft + (120 - areaLeft) / 2 - (caption.width() % 2 == 0 ? 1 : 0));
  QCOMPARE(caption.top(), (40 - caption.height()) / 2);

  button.setText(QStringLiteral("A caption long enough to wrap onto a second line"));
  QVERIFY(button.CaptionRect().height() > QFontMetrics(button.font()).height());
}

void ControlsTest::setIconReplacesTheIconsHeld() {
  CHoverButton button;
  button.SetIcon(IDI_SEARCH, 32, 32);
  QVERIFY(!button.Icon(CHoverButton::ICON_IN).isNull());
  const qint64 searchKey = button.Icon(CHoverButton::ICON_IN).cacheKey();
  button.SetIcon(IDI_SEARCH_BUSY, 32, 32);
  QVERIFY(button.Icon(CHoverButton::ICON_IN).cacheKey() != searchKey);
  QVERIFY(button.Icon(CHoverButton::ICON_OUT).isNull());
  // Other entries are taken only when the first one loads.
  button.SetIcon(9999, 32, 32, IDI_SAVE, 32, 32);
  QVERIFY(button.Icon(CHoverButton::ICON_IN).isNull());
  QVERIFY(button.Icon(CHoverButton::ICON_OUT).isNull());
  QVERIFY(button.IconRect().isNull());
}

void ControlsTest::iconsShowTheirSvgImagesAsTheyDraw_data() {
  QTest::addColumn<int>("resourceId");
  for (int id : {IDR_MAINFRAME, IDI_SAVE, IDI_EXIT, IDI_OPEN_FIRMWARE, IDI_FIRMWARE_UPDATE,
                 IDI_SEARCH, IDI_READ, IDI_SEARCH_BUSY, IDI_TEST_PRINT, IDI_TEST_PRINT_KOREAN}) {
    QTest::newRow(qPrintable(QFileInfo(IconResourcePath(id)).completeBaseName())) << id;
  }
}

// The icons are drawn while the program is built; each must show the same pixels as its
// SVG image drawn into a transparent 32 x 32 pixmap here.
void ControlsTest::iconsShowTheirSvgImagesAsTheyDraw() {
  QFETCH(int, resourceId);
  const QString name = QFileInfo(IconResourcePath(resourceId)).completeBaseName();
  QSvgRenderer renderer(QStringLiteral(NETVORA_SOURCE_DIR "/res/icons/") + name + ".svg");
  QVERIFY(renderer.isValid());
  QPixmap drawn(32, 32);
  drawn.fill(Qt::transparent);
  QPainter painter(&drawn);
  renderer.render(&painter);
  painter.end();
  const QIcon icon = LoadIconResource(resourceId);
  QCOMPARE(icon.availableSizes(), QList<QSize>{QSize(32, 32)});
  QCOMPARE(icon.pixmap(32, 32).toImage(), drawn.toImage());
  QCOMPARE(LoadIconResource(resourceId, 16, 16).availableSizes(), QList<QSize>{QSize(16, 16)});
}

void ControlsTest::checkBoxModeTogglesAndStillNotifies() {
  CHoverButton button;
  button.PreSubclassWindow(CHoverButton::TYPE_AUTO_CHECKBOX);
  button.resize(100, 30);
  QSignalSpy clicked(&button, &QPushButton::clicked);
  QTest::mouseClick(&button, Qt::LeftButton);
  QVERIFY(button.IsChecked());
  QTest::mouseClick(&button, Qt::LeftButton);
  QVERIFY(!button.IsChecked());
  QCOMPARE(clicked.count(), 2);
}

void ControlsTest::disabledButtonHandsTheFocusOn() {
  QDialog dialog;
  QVBoxLayout layout(&dialog);
  auto* first = new CHoverButton(&dialog);
  auto* second = new CHoverButton(&dialog);
  layout.addWidget(first);
  layout.addWidget(second);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  dialog.activateWindow();
  first->setFocus();
  QTRY_VERIFY(first->hasFocus());
  first->setEnabled(false);
  QTRY_VERIFY(second->hasFocus());
}

void ControlsTest::flatModeTracksTheMouseUntilItLeaves() {
  QWidget window;
  auto* button = new CHoverButton(&window);
  button->setGeometry(10, 10, 100, 30);
  window.resize(200, 100);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  button->SetFlat(false);
  QTest::mouseMove(button, QPoint(50, 15));
  QVERIFY(!button->IsMouseOver());  // only flat buttons track the mouse

  button->SetFlat(true);
  QTest::mouseMove(button, QPoint(40, 15));
  QVERIFY(button->IsMouseOver());
  QVERIFY(button->HoverTimerRunning());
  button->PollHover(QPoint(50, 15));
  QVERIFY(button->IsMouseOver());
  button->PollHover(QPoint(150, 15));  // a poll tick that finds the cursor outside
  QVERIFY(!button->IsMouseOver());
  QVERIFY(!button->HoverTimerRunning());
}

void ControlsTest::groupBoxPlacesItsCaptionByAlignment_data() {
  QTest::addColumn<int>("alignment");
  QTest::addColumn<int>("expected");  // 0 left, 1 centred, 2 right
  QTest::newRow("left") << 0 << 0;
  QTest::newRow("centred") << 1 << 1;
  QTest::newRow("right") << 2 << 2;
  QTest::newRow("3 aligns left") << 3 << 0;
  QTest::newRow("-1 aligns left") << -1 << 0;
}

void ControlsTest::groupBoxPlacesItsCaptionByAlignment() {
  QFETCH(int, alignment);
  QFETCH(int, expected);
  CXPGroupBox box;
  box.resize(300, 120);
  box.SetCaptionText(QStringLiteral("F/W Update"));
  box.SetCaptionAlignment(alignment);
  QCOMPARE(box.CaptionAlignment(), expected);
  const QRect caption = box.CaptionRect();
  const int width =
      QFontMetrics(box.CaptionFont()).horizontalAdvance(QStringLiteral(" F/W Update "));
  QCOMPARE(caption.width(), width);
  QCOMPARE(caption.top(), 1);
  const int innerLeft = 1;
  const int innerEnd = 299;  // exclusive right end of the client rectangle shrunk by 1
  const int lefts[] = {innerLeft + 10, innerLeft + (innerEnd - width - innerLeft) / 2,
                       innerEnd - 10 - width};
  QCOMPARE(caption.left(), lefts[expected]);
  QCOMPARE(box.FrameRect().top(), 1 + caption.height() / 2);
}

void ControlsTest::boxedStylePutsTheCaptionAboveTheBody() {
  CXPGroupBox box;
  box.resize(300, 120);
  box.SetCaptionText(QStringLiteral("Boxed")).SetBoxStyle(CXPGroupBox::STYLE_BOXED);
  const QRect caption = box.CaptionRect();
  QCOMPARE(caption.topLeft(), QPoint(1 + 2, 1 + 2));
  QCOMPARE(box.FrameRect().top(), 1 + caption.height() + 4);
  box.SetCaptionAlignment(CXPGroupBox::ALIGN_RIGHT);
  QCOMPARE(box.CaptionRect().right() + 1, 299 - 2);
}

void ControlsTest::groupBoxWithoutCaptionHasNoGap() {
  CXPGroupBox box;
  box.resize(200, 100);
  Render(&box);
  QCOMPARE(box.CaptionRect().width(), 0);
  QCOMPARE(box.FrameRect(), QRect(1, 1, 198, 98));
  // The top edge runs unbroken where a caption would leave its gap.
  const QImage image = Render(&box);
  QCOMPARE(image.pixel(20, 1), box.palette().color(QPalette::Dark).rgb());
}

void ControlsTest::groupBoxSettersChainAndKeepTheFace() {
  CXPGroupBox box;
  const QString family = box.CaptionFont().family();
  CXPGroupBox& chained =
      box.SetFontBold(true).SetCaptionTextColor(QColor(16, 140, 231)).SetFontItalic(true);
  QCOMPARE(&chained, &box);
  QCOMPARE(box.CaptionFont().weight(), QFont::Bold);
  QCOMPARE(box.CaptionFont().family(), family);
  QVERIFY(box.CaptionFont().italic());
  box.SetFontBold(false);
  QCOMPARE(box.CaptionFont().weight(), QFont::Normal);
}

void ControlsTest::groupBoxTakesItsCaptionOnceFromTheTitle() {
  CXPGroupBox box;
  box.resize(200, 100);
  box.setTitle(QStringLiteral("Searching printers"));
  Render(&box);
  QCOMPARE(box.Caption(), QStringLiteral(" Searching printers "));
  box.setTitle(QStringLiteral("Later"));
  Render(&box);
  QCOMPARE(box.Caption(), QStringLiteral(" Searching printers "));
  box.SetCaptionText(QStringLiteral("Later"));
  QCOMPARE(box.Caption(), QStringLiteral(" Later "));
}

void ControlsTest::ipFieldReadsPartsAsOctets() {
  CIpAddressField field;
  uint32_t address = 1;
  QVERIFY(field.IsBlank());
  QCOMPARE(field.GetAddress(&address), 0);
  QCOMPARE(address, 0u);

  field.SetAddress(0xC0A80164);  // 192.168.1.100
  QCOMPARE(field.Part(0)->text(), QStringLiteral("192"));
  QCOMPARE(field.Part(3)->text(), QStringLiteral("100"));
  QCOMPARE(field.GetAddress(&address), 4);
  QCOMPARE(address, 0xC0A80164u);

  field.Part(1)->clear();  // an empty part reads 0 and the field is not blank
  QVERIFY(!field.IsBlank());
  QCOMPARE(field.GetAddress(&address), 3);
  QCOMPARE(address, 0xC0000164u);

  field.ClearAddress();
  QVERIFY(field.IsBlank());
  QTest::keyClicks(field.Part(2), QStringLiteral("300"));  // a part above 255 reads 255
  QCOMPARE(field.Part(2)->text(), QStringLiteral("255"));
}

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
