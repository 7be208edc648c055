// The window finding printers on a real network: the real main window (offscreen) in the
// lab's client namespace, the simulator's configuration and text services in the printers'
// namespace. Every search here broadcasts inside the lab only.
#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/config_dlg.h"
#include "app/message_box.h"
#include "app/progress_dlg.h"
#include "app/status_words.h"
#include "common/byte_reader.h"
#include "common/checksum32.h"
#include "common/socket_port.h"
#include "controls/icon_resources.h"
#include "operations/text_message.h"
#include "tests/app/window_fixture.h"

namespace {

// Configuration printers, answering in the order given (not sorted), one of them with the
// MAC of a text printer; text printers, two of them with replies the window must drop.
const std::vector<std::string> BOTH_FAMILIES = {
    "--printer",
    "mac=02:00:00:00:00:80",
    "--printer",
    "mac=02:00:00:00:00:7F",
    "--printer",
    "mac=02:00:00:00:00:02",
    "--printer",
    "mac=02:00:00:00:00:01,ip=198.51.100.10,mask=255.255.255.0,gateway=198.51.100.1,port=9300",
    "--printer",
    "mac=44:A8:C2:00:00:01,ip=198.51.100.31",
    "--text-printer",
    "mac=44A8C2000003,ip=198.51.100.23,mask=255.255.0.0,gateway=198.51.100.254,dhcp=on",
    "--text-printer",
    "mac=44A8C2000001,ip=198.51.100.21,port=9400,version=2.00",
    "--text-printer",
    "mac=44a8c2abcdef,ip=198.51.100.24,version=3.00,twice",
    "--text-printer",
    "mac=44A8C2000004,lower-case-digits",
    "--text-printer",
    "mac=44A8C2000005,short"};

const QStringList BOTH_FAMILIES_CONFIG_ROWS = {"02:00:00:00:00:01", "02:00:00:00:00:02",
                                               "02:00:00:00:00:7F", "02:00:00:00:00:80",
                                               "44:A8:C2:00:00:01"};
const QStringList BOTH_FAMILIES_TEXT_ROWS = {"44:A8:C2:00:00:03", "44:A8:C2:00:00:01",
                                             "44:a8:c2:ab:cd:ef", "44:a8:c2:ab:cd:ef"};

constexpr int SETTLE_TIMEOUT_MS = 6000;  // the exchange's quiet time and the status dialog's

QImage IconImage(const QIcon& icon) { return icon.pixmap(32, 32).toImage(); }

}  // namespace

class WindowSearchTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void searchListsConfigRowsSortedThenTextRowsInArrivalOrder();
  void searchPaintsWhileItWaitsAndDefersClosing();
  void selectionShowsEachFamily();
  void dhcpBoxSwitchesTheAddressFields();
  void nothingFoundDisablesTheSettings();
  void lateRepliesAddRowsAndShowRowZero();
  void zeroByteDatagramClosesTheSocket();
  void closingPathsReleaseTheTextPort();
  void searchAfterAFailedCloseStartsFromAnEmptyStore();
  void acknowledgementWithoutAWaitingSaveChangesNoRow();
  void secondWindowCannotBindButStillSearches();
  void threeHundredPrintersAreListedAndShownEach();
  void macPartsMoveTheFocus();
  void readWithAShortPartAsksForTheAddress();
  void readBroadcastsTheAddressAndListsItsPrinter();
  void everyControlHasAName_data();
  void everyControlHasAName();

 private:
  std::vector<MessageRequest> m_messages;
};

void WindowSearchTest::init() {
  m_messages.clear();
  SetMessageBoxHandler([this](const MessageRequest& request) { m_messages.push_back(request); });
  ResetWindowTestState();
}

void WindowSearchTest::cleanup() { SetMessageBoxHandler(nullptr); }

void WindowSearchTest::searchListsConfigRowsSortedThenTextRowsInArrivalOrder() {
  auto peer = StartPeer(BOTH_FAMILIES);
  if (!peer) return;
  Window window;
  window.Search();
  // The text replies came during the exchange but wait until the handler has returned.
  QCOMPARE(window.Rows(), BOTH_FAMILIES_CONFIG_ROWS);
  QCOMPARE(g_nSyncRows, 5);
  QCOMPARE(g_bSearchDone, 1);
  QTRY_COMPARE(window.Rows(), BOTH_FAMILIES_CONFIG_ROWS + BOTH_FAMILIES_TEXT_ROWS);
  QCOMPARE(window.Replies()->count(), 4);
  QCOMPARE(window.Results()->currentRow(), 0);
  QCOMPARE(window.Address("1023_ip"), QStringLiteral("198.51.100.10"));
  QTRY_VERIFY_WITH_TIMEOUT(window.VisibleStatus() == nullptr, SETTLE_TIMEOUT_MS);
  QCOMPARE(g_nTotalRows, 9);
  QVERIFY(m_messages.empty());

  // A second search starts from an empty list and lists the same again.
  window.Search();
  QCOMPARE(window.Rows(), BOTH_FAMILIES_CONFIG_ROWS);
  QTRY_COMPARE(window.Rows(), BOTH_FAMILIES_CONFIG_ROWS + BOTH_FAMILIES_TEXT_ROWS);
  QCOMPARE(window.Replies()->count(), 4);
}

void WindowSearchTest::searchPaintsWhileItWaitsAndDefersClosing() {
  auto peer = StartPeer({"--printer", "mac=02:00:00:00:00:01"});
  if (!peer) return;
  Window window;
  int paints = 0;
  struct PaintCounter : QObject {
    int* count;
    explicit PaintCounter(int* c) : count(c) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++*count;
      return false;
    }
  } counter(&paints);
  CHoverButton* search = window.Button("1003_search");
  search->installEventFilter(&counter);
  struct During {
    bool searching = false;
    bool statusShown = false;
    QString statusText;
    bool busyIcon = false;
    int paintsBefore = -1;
    int paintsAfter = -1;
    bool windowOpenAfterClose = false;
  } during;
  QTimer::singleShot(400, &window.dialog, [&] {
    during.searching = g_bSearchDone == 0;
    CProgressDlg* status = window.VisibleStatus();
    during.statusShown = status != nullptr;
    if (status != nullptr) during.statusText = status->StatusText();
    during.busyIcon = IconImage(search->Icon(CHoverButton::ICON_IN)) ==
                      IconImage(LoadIconResource(IDI_SEARCH_BUSY));
    during.paintsBefore = paints;
    search->update();
    window.dialog.close();  // the close box, while the handler blocks
    during.windowOpenAfterClose = window.dialog.isVisible();
  });
  QTimer::singleShot(1000, &window.dialog, [&] { during.paintsAfter = paints; });
  window.Search();

  QVERIFY(during.searching);
  QVERIFY(during.statusShown);
  QCOMPARE(during.statusText, QStringLiteral("Now searching printers..."));
  QVERIFY(during.busyIcon);
  QVERIFY2(during.paintsAfter > during.paintsBefore, "the window painted during the exchange");
  QVERIFY(during.windowOpenAfterClose);
  QCOMPARE(IconImage(search->Icon(CHoverButton::ICON_IN)), IconImage(LoadIconResource(IDI_SEARCH)));
  QCOMPARE(window.Rows(), QStringList{"02:00:00:00:00:01"});
  // The close asked for during the search takes effect once the handler has returned.
  QTRY_VERIFY(!window.dialog.isVisible());
  QCOMPARE(window.dialog.result(), int(QDialog::Accepted));
  QVERIFY(TextPortFree());
}

void WindowSearchTest::selectionShowsEachFamily() {
  auto peer = StartPeer(BOTH_FAMILIES);
  if (!peer) return;
  Window window;
  window.Search();
  QTRY_COMPARE(window.Results()->count(), 9);
  struct Row {
    const char* name;
    int row;
    const char* ip;
    const char* mask;
    const char* gateway;
    const char* port;
    bool firmwareGroup;  // the F/W Update group and the version are shown
    const char* firmwareIp;
    bool dhcpShown;
    bool dhcpChecked;
    const char* version;  // as the (possibly hidden) version edit holds it
    bool addressesEnabled;
    bool testPrintEnabled;
    bool byMacEnabled;
  } rows[] = {
      {"config row", 0, "198.51.100.10", "255.255.255.0", "198.51.100.1", "9300", false, "", false,
       false, "", true, true, false},
      {"text row, DHCP on, 2.05", 5, "198.51.100.23", "255.255.0.0", "198.51.100.254", "9100", true,
       "198.51.100.23", true, true, " 2.05", false, false, true},
      {"text row, 2.00: no DHCP box", 6, "198.51.100.21", "255.255.255.0", "198.51.100.1", "9400",
       true, "198.51.100.21", false, false, " 2.00", true, true, true},
      {"text row, 3.00: no DHCP box", 7, "198.51.100.24", "255.255.255.0", "198.51.100.1", "9100",
       true, "198.51.100.24", false, false, " 3.00", true, true, true},
      {"config row after text rows", 4, "198.51.100.31", "255.255.255.0", "198.51.100.1", "9100",
       false, "198.51.100.24", false, false, " 3.00", true, true, false},
  };
  for (const Row& row : rows) {
    window.ClickRow(row.row);
    QCOMPARE(window.Results()->currentRow(), row.row);
    const QByteArray name(row.name);
    const auto where = [&](const char* control) { return name + " " + control; };
    QVERIFY2(window.Address("1023_ip") == QLatin1String(row.ip), name);
    QVERIFY2(window.Address("1024_mask") == QLatin1String(row.mask), name);
    QVERIFY2(window.Address("1025_gateway") == QLatin1String(row.gateway), name);
    QVERIFY2(window.Find<QLineEdit>("1021_port")->text() == QLatin1String(row.port), name);
    for (const char* control :
         {"1048_firmware_group", "1044_firmware_ip", "1049_firmware_ip_label", "1041_open_firmware",
          "1051_firmware_file_label", "1038_firmware_file", "1039_firmware_update",
          "1052_version_label", "1046_version"}) {
      QVERIFY2(window.Find(control)->isVisible() == row.firmwareGroup, where(control).constData());
    }
    if (row.firmwareGroup) {
      QVERIFY2(window.Address("1044_firmware_ip") == QLatin1String(row.firmwareIp), name);
    }
    auto* dhcp = window.Find<QCheckBox>("1028_dhcp");
    QVERIFY2(dhcp->isVisible() == row.dhcpShown, name);
    QVERIFY2(dhcp->isChecked() == row.dhcpChecked, name);
    QVERIFY2(window.Find<QLineEdit>("1046_version")->text() == QLatin1String(row.version), name);
    for (const char* control : {"1029_ip_label", "1030_mask_label", "1031_gateway_label", "1023_ip",
                                "1024_mask", "1025_gateway"}) {
      QVERIFY2(window.Find(control)->isEnabled() == row.addressesEnabled,
               where(control).constData());
    }
    QVERIFY2(window.Button("1027_test_print")->isEnabled() == row.testPrintEnabled, name);
    QVERIFY2(window.Find("1057_search_by_mac")->isEnabled() == row.byMacEnabled, name);
    QVERIFY2(!window.Button("1047_read")->isEnabled(), name);  // no search by MAC chosen
    for (const char* control : {"1021_port", "1026_save", "1041_open_firmware"}) {
      QVERIFY2(window.Find(control)->isEnabled(), where(control).constData());
    }
  }
  // The keyboard selects as the mouse does.
  window.Results()->setFocus();
  QTest::keyClick(window.Results(), Qt::Key_Down);
  QCOMPARE(window.Results()->currentRow(), 5);
  QCOMPARE(window.Address("1023_ip"), QStringLiteral("198.51.100.23"));
}

void WindowSearchTest::dhcpBoxSwitchesTheAddressFields() {
  auto peer = StartPeer({"--silent", "--text-printer", "mac=44A8C2000003,dhcp=on"});
  if (!peer) return;
  Window window;
  window.Search();
  QTRY_COMPARE(window.Results()->count(), 1);
  auto* dhcp = window.Find<QCheckBox>("1028_dhcp");
  const auto addressesEnabled = [&] {
    int enabled = 0;
    for (const char* control : {"1029_ip_label", "1030_mask_label", "1031_gateway_label", "1023_ip",
                                "1024_mask", "1025_gateway"}) {
      enabled += window.Find(control)->isEnabled() ? 1 : 0;
    }
    return enabled;
  };
  QVERIFY(dhcp->isChecked());
  QCOMPARE(addressesEnabled(), 0);
  QTest::mouseClick(dhcp, Qt::LeftButton);
  QVERIFY(!dhcp->isChecked());
  QCOMPARE(addressesEnabled(), 6);
  QTest::mouseClick(dhcp, Qt::LeftButton);
  QCOMPARE(addressesEnabled(), 0);
  QVERIFY(!window.Button("1027_test_print")->isEnabled());  // the box switches only the addresses
}

void WindowSearchTest::nothingFoundDisablesTheSettings() {
  auto peer = StartPeer({"--silent"});
  if (!peer) return;
  Window window;
  window.Search();
  QCOMPARE(window.Results()->count(), 0);
  QCOMPARE(window.Results()->currentRow(), -1);
  for (const char* control : {"1026_save", "1027_test_print", "1041_open_firmware", "1023_ip",
                              "1024_mask", "1025_gateway", "1021_port", "1044_firmware_ip"}) {
    QVERIFY2(!window.Find(control)->isEnabled(), control);
  }
  CProgressDlg* status = window.VisibleStatus();
  QVERIFY(status != nullptr);
  QTRY_COMPARE_WITH_TIMEOUT(
      status->StatusText(),
      QStringLiteral("Cannot search the ethernet printer.\nPlease check the firewall..."),
      SETTLE_TIMEOUT_MS);
  QVERIFY(status->OkButton()->isVisible());
  QCOMPARE(g_nTotalRows, 0);
}

void WindowSearchTest::lateRepliesAddRowsAndShowRowZero() {
  auto peer = StartPeer({"--printer", "mac=02:00:00:00:00:01,ip=198.51.100.10", "--text-printer",
                         "mac=44A8C2000001,ip=198.51.100.21"});
  if (!peer) return;
  Window window;
  window.Search();
  QTRY_COMPARE(window.Results()->count(), 2);
  QTRY_VERIFY_WITH_TIMEOUT(window.VisibleStatus() == nullptr, SETTLE_TIMEOUT_MS);
  window.ClickRow(1);
  QCOMPARE(window.Address("1023_ip"), QStringLiteral("198.51.100.21"));

  // A reply long after the search still adds a row, and row 0 is shown again.
  QVERIFY(SendFromPrinter(peer->Lab(), InfoReply("44A8C2000009", "198.51.100.29")));
  QTRY_COMPARE(window.Results()->count(), 3);
  QCOMPARE(window.Rows().last(), QStringLiteral("44:A8:C2:00:00:09"));
  QCOMPARE(window.Results()->currentRow(), 0);
  QCOMPARE(window.Address("1023_ip"), QStringLiteral("198.51.100.10"));
  QCOMPARE(g_nAsyncRows, 2);
  window.ClickRow(2);
  QCOMPARE(window.Address("1023_ip"), QStringLiteral("198.51.100.29"));

  // A longer datagram counts by its first 128 bytes and is stored whole; one with a NUL
  // inside its first 128 bytes holds no whole message and is dropped.
  const std::string longer = InfoReply("44A8C200000A", "198.51.100.30") + std::string(72, 'x');
  std::string holed = InfoReply("44A8C200000B", "198.51.100.31");
  holed[100] = '\0';
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08X",
                Checksum32(reinterpret_cast<const uint8_t*>(holed.data()) + TEXT_BODY_OFFSET,
                           TEXT_BODY_SIZE));
  holed.replace(0, 8, digits);
  QVERIFY(IsValidTextReply(reinterpret_cast<const uint8_t*>(holed.data()), holed.size()));
  QVERIFY(SendFromPrinter(peer->Lab(), holed));
  QVERIFY(SendFromPrinter(peer->Lab(), longer));  // read after the holed one
  QTRY_COMPARE(window.Rows().last(), QStringLiteral("44:A8:C2:00:00:0A"));
  QCOMPARE(window.Results()->count(), 4);
  QCOMPARE(window.Replies()->count(), 3);
  QCOMPARE(window.Replies()->item(2)->text().size(), 200);
}

void WindowSearchTest::zeroByteDatagramClosesTheSocket() {
  auto peer = StartPeer({"--silent", "--text-printer", "mac=44A8C2000001"});
  if (!peer) return;
  Window window;
  window.Search();
  QTRY_COMPARE(window.Results()->count(), 1);
  QVERIFY(!TextPortFree());
  QVERIFY(SendFromPrinter(peer->Lab(), std::string()));
  QTRY_VERIFY(TextPortFree());
  QVERIFY(SendFromPrinter(peer->Lab(), InfoReply("44A8C2000009", "198.51.100.29")));
  QTest::qWait(300);
  QCOMPARE(window.Results()->count(), 1);  // the list stays; nothing more is received
  QVERIFY(m_messages.empty());
}

void WindowSearchTest::closingPathsReleaseTheTextPort() {
  auto peer = StartPeer({"--silent", "--text-printer", "mac=44A8C2000001"});
  if (!peer) return;
  {
    Window window;  // CloseBroadcastSocket empties both lists
    window.Search();
    QTRY_COMPARE(window.Results()->count(), 1);
    window.dialog.CloseBroadcastSocket();
    QVERIFY(TextPortFree());
    QCOMPARE(window.Results()->count(), 0);
    QCOMPARE(window.Replies()->count(), 0);
  }
  {
    Window window;  // closing the window keeps the result list
    window.Search();
    QTRY_COMPARE(window.Results()->count(), 1);
    window.dialog.close();
    QVERIFY(TextPortFree());
    QCOMPARE(window.Results()->count(), 1);
    QCOMPARE(window.dialog.result(), int(QDialog::Accepted));
    QVERIFY(!window.dialog.isVisible());
  }
  {
    Window window;  // destroying the window closes the socket
    window.Search();
    QVERIFY(!TextPortFree());
  }
  QVERIFY(TextPortFree());
}

void WindowSearchTest::searchAfterAFailedCloseStartsFromAnEmptyStore() {
  // Port 80 is outside 1024..50000: shown, it makes the save of the closing path fail.
  auto peer = StartPeer({"--silent", "--text-printer", "mac=44A8C2000001,port=80"});
  if (!peer) return;
  Window window;
  window.Search();
  QVERIFY(window.FailClosing());
  QVERIFY(!m_messages.empty());
  QCOMPARE(window.Replies()->count(), 1);

  window.Search();
  QTRY_COMPARE(window.Results()->count(), 1);
  QTest::qWait(200);
  QCOMPARE(window.Replies()->count(), 1);  // the reply of the earlier search is gone
  QCOMPARE(window.Rows(), QStringList{"44:A8:C2:00:00:01"});
}

void WindowSearchTest::acknowledgementWithoutAWaitingSaveChangesNoRow() {
  auto peer = StartPeer({"--printer", "mac=02:00:00:00:00:01", "--text-printer", "mac=44A8C2000001",
                         "--text-printer", "mac=44A8C2000002"});
  if (!peer) return;
  Window window;
  window.Search();
  QTRY_COMPARE(window.Results()->count(), 3);
  const QStringList rows = window.Rows();
  for (const int selected : {0, 1}) {  // a configuration row, then a text row
    window.ClickRow(selected);
    g_bSaveDone = 0;
    QVERIFY(SendFromPrinter(peer->Lab(), BuildTextSetAck("44A8C2000001", 3)));
    QTRY_COMPARE(g_bSaveDone, 1);
    QCOMPARE(window.Rows(), rows);
    QCOMPARE(window.Replies()->count(), 2);
    QCOMPARE(window.Results()->currentRow(), selected);
  }
}

void WindowSearchTest::secondWindowCannotBindButStillSearches() {
  auto peer =
      StartPeer({"--printer", "mac=02:00:00:00:00:01", "--text-printer", "mac=44A8C2000001"});
  if (!peer) return;
  Window first;
  first.Search();
  QTRY_COMPARE(first.Results()->count(), 2);
  Window second;
  bool configSearchStillAhead = false;
  SetMessageBoxHandler([&](const MessageRequest& request) {
    m_messages.push_back(request);
    configSearchStillAhead = g_bSearchDone == 0 && second.Results()->count() == 0;
  });
  second.Search();
  QCOMPARE(int(m_messages.size()), 1);
  QCOMPARE(m_messages[0].text,
           QStringLiteral("Fail to create UDP socket: %1! Close and restart app.").arg(EADDRINUSE));
  QCOMPARE(m_messages[0].icon, QMessageBox::Warning);
  QVERIFY(configSearchStillAhead);
  QCOMPARE(second.Rows(), QStringList{"02:00:00:00:00:01"});
  QTest::qWait(300);
  QCOMPARE(second.Results()->count(), 1);
}

void WindowSearchTest::threeHundredPrintersAreListedAndShownEach() {
  auto peer =
      StartPeer({"--printers", "300", "--text-printer", "mac=44A8C2000001,ip=198.51.100.201",
                 "--text-printer", "mac=44A8C2000002,ip=198.51.100.202"});
  if (!peer) return;
  Window window;
  window.Search();
  QCOMPARE(window.Results()->count(), MAX_PRINTERS);
  QTRY_COMPARE(window.Results()->count(), MAX_PRINTERS + 2);
  const QStringList rows = window.Rows();
  for (int i = 1; i < MAX_PRINTERS; ++i) QVERIFY2(rows[i - 1] < rows[i], qPrintable(rows[i]));
  QCOMPARE(rows[MAX_PRINTERS - 1], QStringLiteral("02:00:00:00:01:00"));
  // Rows past the 200th show their own printers: printer n answers from 198.51.100.(10 + n % 200).
  window.ClickRow(MAX_PRINTERS - 1);
  QCOMPARE(window.Address("1023_ip"), QStringLiteral("198.51.100.66"));
  window.ClickRow(MAX_PRINTERS + 1);
  QCOMPARE(window.Address("1023_ip"), QStringLiteral("198.51.100.202"));
  QVERIFY(window.Find("1048_firmware_group")->isVisible());
  QTRY_VERIFY_WITH_TIMEOUT(window.VisibleStatus() == nullptr, SETTLE_TIMEOUT_MS);
  QCOMPARE(g_nTotalRows, MAX_PRINTERS + 2);
}

void WindowSearchTest::macPartsMoveTheFocus() {
  Window window;
  auto* byMac = window.Find<QCheckBox>("1057_search_by_mac");
  QLineEdit* parts[6];
  for (int i = 0; i < 6; ++i) parts[i] = window.MacPart(i);
  QTest::mouseClick(byMac, Qt::LeftButton);
  QVERIFY(byMac->isChecked());
  QVERIFY(!window.Button("1003_search")->isEnabled());
  QVERIFY(window.Button("1047_read")->isEnabled());
  for (int i = 0; i < 6; ++i) QCOMPARE(parts[i]->isEnabled(), i >= 3);

  parts[3]->setFocus();
  QTest::keyClicks(parts[3], QStringLiteral("az"));  // z is no hexadecimal digit
  QCOMPARE(parts[3]->text(), QStringLiteral("A"));
  QTRY_VERIFY(parts[3]->hasFocus());  // one character moves nothing
  QTest::keyClicks(parts[3], QStringLiteral("b"));
  QCOMPARE(parts[3]->text(), QStringLiteral("AB"));
  QTRY_VERIFY(parts[4]->hasFocus());
  QTest::keyClicks(parts[4], QStringLiteral("34"));
  QTRY_VERIFY(parts[5]->hasFocus());
  QTest::keyClicks(parts[5], QStringLiteral("56"));
  // Search takes no focus while it is disabled: Read, the button that now searches, does.
  QTRY_VERIFY(window.Button("1047_read")->hasFocus());
  parts[5]->setFocus();
  QTest::keyClick(parts[5], Qt::Key_End);
  QTest::keyClick(parts[5], Qt::Key_Backspace);
  QTRY_VERIFY(parts[5]->hasFocus());
  QTest::keyClick(parts[5], Qt::Key_Backspace);
  QTRY_VERIFY(parts[4]->hasFocus());
  QCOMPARE(window.dialog.m_strMac[3], QStringLiteral("AB"));
  QCOMPARE(window.dialog.m_strMac[5], QString());

  QTest::mouseClick(byMac, Qt::LeftButton);
  QVERIFY(window.Button("1003_search")->isEnabled());
  QVERIFY(!window.Button("1047_read")->isEnabled());
  for (int i = 0; i < 6; ++i) QVERIFY(!parts[i]->isEnabled());
}

void WindowSearchTest::readWithAShortPartAsksForTheAddress() {
  auto peer = StartPeer({"--text-printer", "mac=44A8C2123405"});
  if (!peer) return;
  Window window;
  window.Results()->addItem(QStringLiteral("an earlier row"));
  window.TypeMac(QStringLiteral("12"), QStringLiteral("34"), QStringLiteral("5"));
  QTest::mouseClick(window.Button("1047_read"), Qt::LeftButton);
  QCOMPARE(int(m_messages.size()), 1);
  QCOMPARE(m_messages[0].text, QStringLiteral("Please input MAC address"));
  QCOMPARE(m_messages[0].caption, QStringLiteral("ERROR"));
  QCOMPARE(m_messages[0].icon, QMessageBox::NoIcon);
  QCOMPARE(window.Results()->count(), 0);
  QVERIFY(window.VisibleStatus() == nullptr);
  QVERIFY(TextPortFree());  // nothing was sent
}

void WindowSearchTest::readBroadcastsTheAddressAndListsItsPrinter() {
  auto peer = StartPeer({});  // no text service: the test plays the printer itself
  if (!peer) return;
  std::string request;
  std::promise<bool> bound;
  std::thread printer([&] {
    const SocketHandle socket =
        peer->Lab().EnterPrinter() ? CreateUdpSocket() : INVALID_SOCKET_HANDLE;
    const bool listening = socket != INVALID_SOCKET_HANDLE && BindAnyAddress(socket, TEXT_PORT);
    bound.set_value(listening);
    if (!listening || WaitReadable(socket, 5000) != 1) {
      CloseSocket(socket);
      return;
    }
    uint8_t datagram[1500];
    const long got = ReceiveDatagram(socket, datagram, sizeof datagram, nullptr, nullptr);
    if (got > 0) request.assign(reinterpret_cast<const char*>(datagram), static_cast<size_t>(got));
    const std::string reply = InfoReply("44A8C2123456", "198.51.100.56");
    (void)SendDatagram(socket, reinterpret_cast<const uint8_t*>(reply.data()), reply.size(),
                       ClientAddress(), TEXT_PORT);
    CloseSocket(socket);
  });
  if (!bound.get_future().get()) {
    printer.join();
    QFAIL("the printer side cannot listen on the text port");
  }
  Window window;
  window.TypeMac(QStringLiteral("12"), QStringLiteral("34"), QStringLiteral("56"));
  QTest::mouseClick(window.Button("1047_read"), Qt::LeftButton);
  QVERIFY(window.VisibleStatus() != nullptr);
  QCOMPARE(g_bSearchDone, 1);
  printer.join();
  QCOMPARE(request.size(), TEXT_MESSAGE_SIZE);
  QVERIFY(IsValidTextRequest(reinterpret_cast<const uint8_t*>(request.data()), request.size()));
  QCOMPARE(QByteArray::fromStdString(request.substr(TEXT_BODY_OFFSET, 14)),
           QByteArray("0144A8C2123456"));
  QTRY_COMPARE(window.Rows(), QStringList{"44:A8:C2:12:34:56"});
  QCOMPARE(window.Address("1023_ip"), QStringLiteral("198.51.100.56"));
  QTRY_VERIFY_WITH_TIMEOUT(window.VisibleStatus() == nullptr, SETTLE_TIMEOUT_MS);
  QVERIFY(m_messages.empty());
}

void WindowSearchTest::everyControlHasAName_data() {
  QTest::addColumn<QString>("locale");
  QTest::newRow("English") << "en_US.UTF-8";
  QTest::newRow("Korean") << "ko_KR.UTF-8";
}

void WindowSearchTest::everyControlHasAName() {
  QFETCH(QString, locale);
  setenv("LANG", locale.toUtf8().constData(), 1);
  Window window;
  for (QWidget* control : window.dialog.findChildren<QWidget*>()) {
    if (control->isHidden() || control->focusPolicy() == Qt::NoFocus) continue;
    if (qobject_cast<QAbstractScrollArea*>(control->parentWidget()) != nullptr) continue;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    QVERIFY2(accessible != nullptr, qPrintable(control->objectName()));
    QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(),
             qPrintable(control->objectName() + " in " + control->parentWidget()->objectName()));
  }
}

QTEST_MAIN(WindowSearchTest)
#include "window_search_test.moc"
