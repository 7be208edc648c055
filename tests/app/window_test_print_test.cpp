// The window's test print, and the address and connect failures that it shares with the
// firmware download, on a real network: the real main window (offscreen) in the lab's
// client namespace, the simulator's printers with their print port and download service in
// the printers' namespace. Every connection here stays inside the lab.
#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/file_dialog.h"
#include "app/message_box.h"
#include "app/status_words.h"
#include "common/code_page.h"
#include "tests/app/window_fixture.h"

namespace {

// A configuration printer away from the lab's printer address (the user types that address
// to reach it) and a text printer at it, its MAC in lower case.
const std::vector<std::string> BOTH_KINDS = {
    "--printer",
    "mac=00:1A:2B:3C:4D:5E,ip=198.51.100.50,mask=255.255.255.0,gateway=198.51.100.1,port=9100",
    "--text-printer", "mac=44a8c2abcdef,ip=198.51.100.2,port=9100"};

const char CUT[] = "\x1D\x56\x42";  // and its final zero byte

// The page as the print port receives it: five labelled lines, then the cut command.
std::string Page(bool korean, const std::vector<std::string>& values) {
  const char* const english[] = {
      "MAC Address : ", "IP Address  : ", "Subnet Mask : ", "Gateway     : ", "Port Number : "};
  const char* const hangul[] = {"MAC 주소        : ", "IP 주소         : ", "서브넷 마스크   : ",
                                "기본 게이트웨이 : ", "전송 포트 번호  : "};
  std::string page;
  for (size_t line = 0; line < 5; ++line) {
    page += (korean ? ToCodePage949(hangul[line]) : english[line]) + values[line] + "\r\n";
  }
  return page + std::string(CUT, sizeof CUT);
}

}  // namespace

class WindowTestPrintTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void pageForEachKindAndLanguage_data();
  void pageForEachKindAndLanguage();
  void emptiedListSavesAndPrintsNothing();
  void addressAndConnectFailures_data();
  void addressAndConnectFailures();

 private:
  std::vector<MessageRequest> m_messages;
};

void WindowTestPrintTest::init() {
  m_messages.clear();
  SetMessageBoxHandler([this](const MessageRequest& request) { m_messages.push_back(request); });
  ResetWindowTestState();
}

void WindowTestPrintTest::cleanup() {
  SetMessageBoxHandler(nullptr);
  SetFileDialogHandler(nullptr);
}

void WindowTestPrintTest::pageForEachKindAndLanguage_data() {
  QTest::addColumn<QString>("locale");
  QTest::newRow("English") << "en_US.UTF-8";
  QTest::newRow("Korean") << "ko_KR.UTF-8";
}

void WindowTestPrintTest::pageForEachKindAndLanguage() {
  QFETCH(QString, locale);
  setenv("LANG", locale.toUtf8().constData(), 1);
  const bool korean = locale.startsWith(QLatin1String("ko"));
  auto peer = StartPeer(BOTH_KINDS);
  if (!peer) return;
  Window window;
  window.Search();
  QTRY_COMPARE(window.Rows(), (QStringList{"00:1A:2B:3C:4D:5E", "44:a8:c2:ab:cd:ef"}));

  // A configuration row connects to the typed address but prints its record, which the
  // fields then show.
  window.ClickRow(0);
  window.TypeAddress("1023_ip", QStringLiteral("198.51.100.2"));
  window.Click("1027_test_print");
  QTRY_COMPARE(int(peer->Pages().size()), 1);
  QCOMPARE(peer->Pages()[0], Page(korean, {"00:1A:2B:3C:4D:5E", "198. 51.100. 50",
                                           "255.255.255.  0", "198. 51.100.  1", "9100"}));
  QCOMPARE(window.Address("1023_ip"), QStringLiteral("198.51.100.50"));

  // A text row prints what the fields hold, unsaved edits included, and its MAC as sent.
  window.ClickRow(1);
  window.TypeAddress("1025_gateway", QStringLiteral("10.0.0.1"));
  window.Click("1027_test_print");
  QTRY_COMPARE(int(peer->Pages().size()), 2);
  QCOMPARE(peer->Pages()[1], Page(korean, {"44:a8:c2:ab:cd:ef", "198. 51.100.  2",
                                           "255.255.255.  0", " 10.  0.  0.  1", "9100"}));
  QVERIFY(m_messages.empty());
}

void WindowTestPrintTest::emptiedListSavesAndPrintsNothing() {
  auto peer = StartPeer({"--silent", "--text-printer", "mac=44A8C2000001,ip=198.51.100.2"});
  if (!peer) return;
  Window window;
  window.Search();
  QTRY_COMPARE(window.Results()->count(), 1);
  window.dialog.CloseBroadcastSocket();  // empties the list; the buttons stay as they were
  QCOMPARE(window.Results()->count(), 0);

  window.Click("1027_test_print");
  QVERIFY(m_messages.empty());
  window.Click("1026_save");
  QCOMPARE(int(m_messages.size()), 1);
  QCOMPARE(m_messages[0].text, QStringLiteral("Cannot find MAC address."));
  QTest::qWait(300);
  QVERIFY(peer->Pages().empty());
}

void WindowTestPrintTest::addressAndConnectFailures_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("locale");
  QTest::addColumn<QString>("address");  // typed into the field; "" empties it
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("caption");  // "" : the program's name
  QTest::addColumn<int>("icon");
  const QString timeout = QStringLiteral("198.51.100.99");  // nobody answers there
  for (const auto& [button, field] : {std::pair{"1027_test_print", "1023_ip"},
                                      std::pair{"1039_firmware_update", "1044_firmware_ip"}}) {
    const QByteArray name = QByteArray(button) + ", ";
    QTest::newRow(name + "blank address")
        << button << field << "en_US.UTF-8" << QString() << "Please Type the IP Address"
        << QString() << int(QMessageBox::Warning);
    QTest::newRow(name + "connect time-out")
        << button << field << "en_US.UTF-8" << timeout << "connect timeout ERROR"
        << "ERROR" << int(QMessageBox::NoIcon);
    QTest::newRow(name + "connect time-out, Korean")
        << button << field << "ko_KR.UTF-8" << timeout << "연결 시간 초과 에러"
        << "에러" << int(QMessageBox::NoIcon);
  }
}

void WindowTestPrintTest::addressAndConnectFailures() {
  QFETCH(QString, button);
  QFETCH(QString, field);
  QFETCH(QString, locale);
  QFETCH(QString, address);
  QFETCH(QString, text);
  QFETCH(QString, caption);
  QFETCH(int, icon);
  setenv("LANG", locale.toUtf8().constData(), 1);
  QTemporaryDir folder;
  const QString firmware = WriteTestFile(folder, QStringLiteral("QNEther_v210.bin"), "abc");
  QVERIFY(!firmware.isEmpty());
  auto peer = StartPeer({"--silent", "--text-printer", "mac=44A8C2000001,ip=198.51.100.2"});
  if (!peer) return;
  Window window;
  window.Search();
  QTRY_COMPARE(window.Results()->count(), 1);
  SetFileDialogHandler([&](const FileDialogRequest&) { return firmware; });
  window.Click("1041_open_firmware");
  window.TypeAddress(field.toLatin1().constData(), address);

  // The search's status dialog shows the wait cursor until it has settled.
  QTRY_VERIFY_WITH_TIMEOUT(QApplication::overrideCursor() == nullptr, 6000);
  Qt::CursorShape cursorWhileWaiting = Qt::ArrowCursor;
  QTimer::singleShot(300, [&] {
    if (const QCursor* cursor = QApplication::overrideCursor())
      cursorWhileWaiting = cursor->shape();
  });
  QElapsedTimer elapsed;
  elapsed.start();
  window.Click(button.toLatin1().constData());
  QCOMPARE(int(m_messages.size()), 1);
  QCOMPARE(m_messages[0].text, text);
  if (!caption.isEmpty()) QCOMPARE(m_messages[0].caption, caption);
  QCOMPARE(int(m_messages[0].icon), icon);
  if (!address.isEmpty()) {
    QVERIFY2(elapsed.elapsed() >= 900, "the connect waits one second");
    QCOMPARE(cursorWhileWaiting, Qt::WaitCursor);
  }
  QVERIFY(QApplication::overrideCursor() == nullptr);
  QVERIFY(peer->Pages().empty());
  QVERIFY(peer->Downloads().empty());
}

QTEST_MAIN(WindowTestPrintTest)
#include "window_test_print_test.moc"
