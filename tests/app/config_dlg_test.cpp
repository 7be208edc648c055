// The main window on the offscreen platform: its state after initialisation in both
// languages, the data exchange's validation, the keyboard filter and the closing paths.
#include "app/config_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QtTest>
#include <cstdlib>
#include <vector>

#include "app/message_box.h"
#include "controls/icon_resources.h"

class ConfigDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void initialStateFollowsTheLanguage_data();
  void initialStateFollowsTheLanguage();
  void hiddenSerialListsAreFilledAndSelected();
  void closingValidatesThePort_data();
  void closingValidatesThePort();
  void longMacPartFailsTheSave();
  void enterAndEscapeDoNothing();
  void closeBroadcastSocketWithoutASocketChangesNothing();
  void aboutItemOpensTheAboutBox();

 private:
  std::vector<MessageRequest> m_messages;
};

namespace {

QString TextOf(QWidget* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  return QString();
}

QImage IconImage(const QIcon& icon) { return icon.pixmap(32, 32).toImage(); }

}  // namespace

void ConfigDlgTest::init() {
  m_messages.clear();
  SetMessageBoxHandler([this](const MessageRequest& request) { m_messages.push_back(request); });
  unsetenv("LC_ALL");
  unsetenv("LC_CTYPE");
  setenv("LANG", "en_US.UTF-8", 1);
}

void ConfigDlgTest::cleanup() { SetMessageBoxHandler(nullptr); }

void ConfigDlgTest::initialStateFollowsTheLanguage_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<bool>("korean");
  QTest::newRow("English") << "en_US.UTF-8" << false;
  QTest::newRow("Korean") << "ko_KR.UTF-8" << true;
  QTest::newRow("Chinese is English") << "zh_CN.UTF-8" << false;
}

void ConfigDlgTest::initialStateFollowsTheLanguage() {
  QFETCH(QString, locale);
  QFETCH(bool, korean);
  setenv("LANG", locale.toUtf8().constData(), 1);
  CConfigDlg dialog;
  struct Row {
    const char* name;
    const char* english;
    const char* korean;  // nullptr: the same text in both languages
    bool enabled;
    bool hidden;
  };
  const Row rows[] = {
      {"1003_search", "Search", "프린터 검색", true, false},
      {"1017_results", "", nullptr, true, false},
      {"1023_ip", "", nullptr, false, false},
      {"1024_mask", "", nullptr, false, false},
      {"1025_gateway", "", nullptr, false, false},
      {"1021_port", "9100", nullptr, false, false},
      {"1044_firmware_ip", "", nullptr, false, false},
      {"1026_save", "Save", "저장하기", false, false},
      {"1005_exit", "Exit", "프로그램 종료", true, false},
      {"1011_mac0", "44", nullptr, false, false},
      {"1012_mac1", "A8", nullptr, false, false},
      {"1013_mac2", "C2", nullptr, false, false},
      {"1016_mac5", "", nullptr, false, false},
      {"1054_info_group", "Ethernet printer's Information", "프린터 설정 정보", true, false},
      {"1029_ip_label", "IP Address : ", nullptr, true, false},
      {"none_port_label", "Port : ", nullptr, true, false},
      {"1028_dhcp", "DHCP Setting(Use DHCP)", "자동으로 IP 주소 받기(DHCP)", true, true},
      {"1032_replies", "", nullptr, true, true},
      {"1033_baud", "", nullptr, false, true},
      {"none_baud_label", "Baud rate:", nullptr, false, true},
      {"1048_firmware_group", "F/W Update", "펌웨어 업데이트", true, false},
      {"1038_firmware_file", "", nullptr, true, false},
      {"1039_firmware_update", "Firmware Update", "펌웨어 업데이트", false, false},
      {"1040_trace", "", nullptr, false, true},
      {"1041_open_firmware", "Open Firmware", "펌웨어 파일 열기", false, false},
      {"1051_firmware_file_label", "Update File Name : ", "펌웨어 파일 이름 : ", true, false},
      {"1052_version_label", "F/W Version :", nullptr, true, false},
      {"1046_version", "", nullptr, false, false},
      {"1047_read", "Read", "읽어 오기", false, false},
      {"1055_search_group", "Searching printers", "프린터 검색 기능", true, false},
      {"1057_search_by_mac", "Search using MAC Address", "MAC 주소를 사용하여 프린터 검색", true,
       false},
      {"1027_test_print", "Test print", "테스트 인쇄", false, false},
  };
  for (const Row& row : rows) {
    auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(row.name));
    QVERIFY2(widget != nullptr, row.name);
    const char* expected = korean && row.korean != nullptr ? row.korean : row.english;
    QVERIFY2(TextOf(widget) == QString::fromUtf8(expected), row.name);
    QVERIFY2(widget->isEnabled() == row.enabled, row.name);
    QVERIFY2(widget->isHidden() == row.hidden, row.name);
  }
  QCOMPARE(dialog.windowTitle(),
           korean ? QStringLiteral("탈보테크 TCP/IP 설정 유틸리티 2.10")
                  : QStringLiteral("TALVO TECH Ethernet(TCP/IP) Configuration Utility 2.10"));
  QCOMPARE(dialog.m_nCodePage, korean ? 949 : 1252);
  auto* testPrint = dialog.findChild<CHoverButton*>(QStringLiteral("1027_test_print"));
  QCOMPARE(IconImage(testPrint->Icon(CHoverButton::ICON_IN)),
           IconImage(LoadIconResource(korean ? IDI_TEST_PRINT_KOREAN : IDI_TEST_PRINT)));
  QVERIFY(!dialog.findChild<QCheckBox*>(QStringLiteral("1028_dhcp"))->isChecked());
  QCOMPARE(dialog.m_nPort, 9100u);
  QCOMPARE(IconImage(dialog.windowIcon()), IconImage(LoadIconResource(IDR_MAINFRAME)));
}

void ConfigDlgTest::hiddenSerialListsAreFilledAndSelected() {
  CConfigDlg dialog;
  struct Row {
    const char* name;
    int count;
    QString selected;
  } rows[] = {{"1033_baud", 9, "115200"},
              {"1034_data_bits", 2, "8"},
              {"1035_parity", 3, "None"},
              {"1036_stop_bits", 2, "1"},
              {"1037_flow", 2, "RTS/CTS"}};
  for (const Row& row : rows) {
    auto* combo = dialog.findChild<QComboBox*>(QString::fromLatin1(row.name));
    QVERIFY2(combo != nullptr, row.name);
    QCOMPARE(combo->count(), row.count);
    QCOMPARE(combo->currentText(), row.selected);
  }
  QCOMPARE(dialog.findChild<QComboBox*>(QStringLiteral("1034_data_bits"))->itemText(1),
           QStringLiteral("9"));
}

void ConfigDlgTest::closingValidatesThePort_data() {
  QTest::addColumn<QString>("port");
  QTest::addColumn<QString>("message");  // empty: accepted and the window closes
  const QString range = QStringLiteral("1024와(과) 50000 사이의 정수를 입력하십시오.");
  const QString positive = QStringLiteral("양의 정수를 입력하십시오.");
  QTest::newRow("70000") << "70000" << range;
  QTest::newRow("0") << "0" << range;
  QTest::newRow("empty") << "" << positive;
  QTest::newRow("-5") << "-5" << positive;
  QTest::newRow("12ab") << "12ab" << positive;
  QTest::newRow("1024") << "1024" << QString();
  QTest::newRow("50000 with blanks") << " 50000 " << QString();
}

void ConfigDlgTest::closingValidatesThePort() {
  QFETCH(QString, port);
  QFETCH(QString, message);
  CConfigDlg dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("1021_port"));
  edit->setEnabled(true);
  edit->setText(port);
  QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("1005_exit")), Qt::LeftButton);
  if (message.isEmpty()) {
    QVERIFY(m_messages.empty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.m_nPort, port.trimmed().toUInt());
    return;
  }
  QCOMPARE(int(m_messages.size()), 1);
  QCOMPARE(m_messages[0].text, message);
  QCOMPARE(m_messages[0].icon, QMessageBox::Warning);
  QVERIFY(dialog.isVisible());
  QTRY_VERIFY(edit->hasFocus());
  QCOMPARE(edit->selectedText(), port);
  QCOMPARE(dialog.m_nPort, 9100u);
}

void ConfigDlgTest::longMacPartFailsTheSave() {
  CConfigDlg dialog;
  auto* part = dialog.findChild<QLineEdit*>(QStringLiteral("1014_mac3"));
  part->setText(QStringLiteral("ABC"));  // typing stops at two; text set otherwise does not
  QVERIFY(!dialog.UpdateData(true));
  QCOMPARE(int(m_messages.size()), 1);
  QCOMPARE(m_messages[0].text, QStringLiteral("2 이하의 문자를 입력하십시오."));
  QCOMPARE(dialog.m_strMac[3], QString());  // the save stopped at the failing control
  QCOMPARE(dialog.m_strMac[2], QStringLiteral("C2"));
}

void ConfigDlgTest::enterAndEscapeDoNothing() {
  CConfigDlg dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  auto* search = dialog.findChild<QPushButton*>(QStringLiteral("1003_search"));
  // Only counted here: a search must never broadcast from this machine's own network.
  QObject::disconnect(search, &QPushButton::clicked, &dialog, nullptr);
  QSignalSpy clicked(search, &QPushButton::clicked);
  search->setFocus();
  QTest::keyClick(search, Qt::Key_Return);
  QTest::keyClick(search, Qt::Key_Enter);
  QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("1038_firmware_file")),
                  Qt::Key_Return);
  QTest::keyClick(&dialog, Qt::Key_Escape);
  QCOMPARE(clicked.count(), 0);
  QVERIFY(dialog.isVisible());
  QVERIFY(m_messages.empty());
  QTest::keyClick(search, Qt::Key_Space);  // other keys still work
  QCOMPARE(clicked.count(), 1);
}

void ConfigDlgTest::closeBroadcastSocketWithoutASocketChangesNothing() {
  CConfigDlg dialog;
  auto* results = dialog.findChild<QListWidget*>(QStringLiteral("1017_results"));
  auto* replies = dialog.findChild<QListWidget*>(QStringLiteral("1032_replies"));
  results->addItem(QStringLiteral("row"));
  replies->addItem(QStringLiteral("reply"));
  dialog.CloseBroadcastSocket();
  QCOMPARE(results->count(), 1);
  QCOMPARE(replies->count(), 1);
}

void ConfigDlgTest::aboutItemOpensTheAboutBox() {
  setenv("LANG", "ko_KR.UTF-8", 1);
  CConfigDlg dialog;
  auto* about = dialog.findChild<QAction*>(QStringLiteral("about_action"));
  QVERIFY(about != nullptr);
  QCOMPARE(about->text(), QStringLiteral("Netvora information(&A)..."));
  // Answers the box once it is open. If it never opens, the trigger returns at once and the
  // test fails below; if it opens but will not close by its OK button, it is closed, so
  // that the trigger cannot block the test for ever.
  QString title;
  QString version;
  bool closedByOk = false;
  QTimer answer;
  answer.setInterval(20);
  QObject::connect(&answer, &QTimer::timeout, [&] {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) return;
    answer.stop();
    title = box->windowTitle();
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("about_version"))) {
      version = label->text();
    }
    if (auto* ok = box->findChild<QPushButton*>(QStringLiteral("1_ok"))) {
      QTest::mouseClick(ok, Qt::LeftButton);
    }
    closedByOk = !box->isVisible();
    if (!closedByOk) box->close();
  });
  answer.start();
  about->trigger();
  answer.stop();
  QVERIFY2(!title.isEmpty(), "the about box never opened");
  QVERIFY(closedByOk);
  QCOMPARE(title, QStringLiteral("Netvora information"));
  QCOMPARE(version, QStringLiteral("Netvora version : 2.10"));
}

QTEST_MAIN(ConfigDlgTest)
#include "config_dlg_test.moc"
