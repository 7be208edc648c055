// The window's Save on a real network: the real main window (offscreen) in the lab's client
// namespace, the simulator's printers in the printers' namespace, which store what the
// window sends. Every exchange here stays inside the lab.
#include <QLineEdit>
#include <QtTest>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/message_box.h"
#include "app/password_prompt.h"
#include "app/status_words.h"
#include "common/byte_reader.h"
#include "common/socket_port.h"
#include "operations/text_message.h"
#include "protocol/config_header.h"
#include "protocol/settings_write.h"
#include "tests/app/window_fixture.h"

namespace {

constexpr int SAVE_OUTCOME_TIMEOUT_MS = 10000;  // the status dialog gives up after 7 ticks
const QString PASSWORD_MISMATCH = QStringLiteral("Password mismatch error occured.");

uint32_t HostAddress(const char* dotted) { return NetworkToHost32(Ipv4(dotted)); }

// Takes the lab's printers off the network: the window's datagrams go out, nothing answers.
bool UnplugPrinters(const NetnsLab& lab) {
  return lab.RunIn(lab.PrinterNamespace(),
                   "for d in /sys/class/net/*; do n=${d##*/}; "
                   "[ \"$n\" = lo ] || ip link set dev \"$n\" down || exit 1; done",
                   nullptr) == 0;
}

}  // namespace

class WindowSaveTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void textRowSaveIsAcknowledgedAndMovesTheRow_data();
  void textRowSaveIsAcknowledgedAndMovesTheRow();
  void textRowSaveWithoutAcknowledgementFails_data();
  void textRowSaveWithoutAcknowledgementFails();
  void textRowSaveWithoutASocketSendsNothing();
  void configRowSave_data();
  void configRowSave();
  void passwordMismatchAsksOnceForThePassword_data();
  void passwordMismatchAsksOnceForThePassword();

 private:
  // Everything the user was shown or asked, in order: message texts and "password?".
  QStringList m_events;
  std::vector<MessageRequest> m_messages;
  std::optional<QByteArray> m_password;  // the prompt's answer
  std::vector<PasswordRequest> m_prompts;
};

void WindowSaveTest::init() {
  m_events.clear();
  m_messages.clear();
  m_prompts.clear();
  m_password.reset();
  SetMessageBoxHandler([this](const MessageRequest& request) {
    m_messages.push_back(request);
    m_events << request.text;
  });
  SetPasswordPromptHandler([this](const PasswordRequest& request) {
    m_prompts.push_back(request);
    m_events << QStringLiteral("password?");
    return m_password;
  });
  ResetWindowTestState();
}

void WindowSaveTest::cleanup() {
  SetMessageBoxHandler(nullptr);
  SetPasswordPromptHandler(nullptr);
}

void WindowSaveTest::textRowSaveIsAcknowledgedAndMovesTheRow_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<bool>("dhcp");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QString>("text");
  QTest::newRow("English") << "en_US.UTF-8" << false << "Printer Settings Saved"
                           << "Save Completed !!!";
  QTest::newRow("Korean, DHCP on") << "ko_KR.UTF-8" << true << "탈보테크 Ethernet 프린터 정보 저장"
                                   << "프린터에 저장이 완료되었습니다.";
}

void WindowSaveTest::textRowSaveIsAcknowledgedAndMovesTheRow() {
  QFETCH(QString, locale);
  QFETCH(bool, dhcp);
  QFETCH(QString, caption);
  QFETCH(QString, text);
  setenv("LANG", locale.toUtf8().constData(), 1);
  auto peer =
      StartPeer({"--silent", "--text-printer", "mac=44A8C2000001,ip=198.51.100.21,port=9400",
                 "--text-printer", "mac=44A8C2000002,ip=198.51.100.22"});
  if (!peer) return;
  Window window;
  window.Search();
  QTRY_COMPARE(window.Rows(), (QStringList{"44:A8:C2:00:00:01", "44:A8:C2:00:00:02"}));
  window.ClickRow(0);
  window.TypeAddress("1023_ip", QStringLiteral("192.168.1.100"));
  window.TypeAddress("1024_mask", QStringLiteral("255.255.0.0"));
  window.TypeAddress("1025_gateway", QStringLiteral("192.168.1.1"));
  window.TypeText("1021_port", QStringLiteral("9100"));
  if (dhcp) QTest::mouseClick(window.Find("1028_dhcp"), Qt::LeftButton);

  StatusAnswerer answerer;
  window.Click("1026_save");
  QCOMPARE(int(answerer.Outcomes().size()), 1);
  QCOMPARE(answerer.Outcomes()[0].caption, caption);
  QCOMPARE(answerer.Outcomes()[0].text, text);
  QVERIFY(answerer.Outcomes()[0].okShown);
  QVERIFY(m_events.isEmpty());

  // The printer took the request's fields: C0A80164 is 192.168.1.100, 238C is port 9100.
  const TextSettings stored = peer->TextPrinters()[0].settings;
  QCOMPARE(stored.ipAddress, 0xC0A80164u);
  QCOMPARE(stored.subnetMask, 0xFFFF0000u);
  QCOMPARE(stored.gateway, 0xC0A80101u);
  QCOMPARE(stored.port, uint16_t(9100));
  QCOMPARE(stored.dhcp, dhcp);
  QCOMPARE(peer->TextPrinters()[1].settings.ipAddress, HostAddress("198.51.100.22"));

  // The saved printer's row moved to the end with the saved values; row 0 is shown.
  QCOMPARE(window.Rows(), (QStringList{"44:A8:C2:00:00:02", "44:A8:C2:00:00:01"}));
  QCOMPARE(window.Replies()->count(), 2);
  QCOMPARE(window.Results()->currentRow(), 0);
  QCOMPARE(window.Address("1023_ip"), QStringLiteral("198.51.100.22"));
  window.ClickRow(1);
  QCOMPARE(window.Address("1023_ip"), QStringLiteral("192.168.1.100"));
  QCOMPARE(window.Address("1024_mask"), QStringLiteral("255.255.0.0"));
  QCOMPARE(window.Find<QLineEdit>("1021_port")->text(), QStringLiteral("9100"));
  QCOMPARE(window.Find<QCheckBox>("1028_dhcp")->isChecked(), dhcp);
}

void WindowSaveTest::textRowSaveWithoutAcknowledgementFails_data() {
  QTest::addColumn<bool>("socketClosed");
  QTest::addColumn<QStringList>("messages");
  QTest::newRow("nobody answers") << false << QStringList();
  QTest::newRow("socket closed by a 0-byte datagram")
      << true << QStringList{QStringLiteral("Sever Socket failed to send: %1").arg(EBADF)};
}

void WindowSaveTest::textRowSaveWithoutAcknowledgementFails() {
  QFETCH(bool, socketClosed);
  QFETCH(QStringList, messages);
  auto peer = StartPeer({"--silent"});  // no text service: the test plays the printer
  if (!peer) return;
  Window window;
  window.Search();
  QVERIFY(SendFromPrinter(peer->Lab(), InfoReply("44A8C2000009", "198.51.100.29")));
  QTRY_COMPARE(window.Rows(), QStringList{"44:A8:C2:00:00:09"});
  if (socketClosed) {
    QVERIFY(SendFromPrinter(peer->Lab(), std::string()));
    QTRY_VERIFY(TextPortFree());
  }
  window.TypeAddress("1023_ip", QStringLiteral("198.51.100.30"));

  StatusAnswerer answerer;
  window.Click("1026_save");
  QCOMPARE(m_events, messages);
  QCOMPARE(int(answerer.Outcomes().size()), 1);
  QCOMPARE(answerer.Outcomes()[0].caption, QStringLiteral("Save Result"));
  QCOMPARE(answerer.Outcomes()[0].text, QStringLiteral("Save Error !!!"));
  QVERIFY(!answerer.Outcomes()[0].okShown);
  QCOMPARE(answerer.Outcomes()[0].ticks, 7);
  QCOMPARE(g_bSaveDone, 0);
  QCOMPARE(window.Rows(), QStringList{"44:A8:C2:00:00:09"});
  QCOMPARE(DecodeTextInfo(window.Replies()->item(0)->text().toStdString()).ipAddress,
           HostAddress("198.51.100.29"));
}

void WindowSaveTest::textRowSaveWithoutASocketSendsNothing() {
  // Port 80 is outside 1024..50000: shown, it makes the save of the closing path fail.
  auto peer = StartPeer({"--silent", "--text-printer", "mac=44A8C2000001,port=80"});
  if (!peer) return;
  Window window;
  window.Search();
  QVERIFY(window.FailClosing());
  window.TypeText("1021_port", QStringLiteral("9100"));
  m_events.clear();

  StatusAnswerer answerer;
  window.Click("1026_save");
  QCOMPARE(m_events, QStringList{"Please create socket first."});
  QVERIFY(answerer.Outcomes().empty());
  QCOMPARE(peer->TextPrinters()[0].settings.port, uint16_t(80));
}

namespace {

// What a configuration-row save meets before it starts.
enum class ConfigSetup { kNone, kPrintersUnplugged, kConfigPortTaken };

}  // namespace

void WindowSaveTest::configRowSave_data() {
  QTest::addColumn<int>("setup");
  QTest::addColumn<QString>("ip");
  QTest::addColumn<QStringList>("messages");
  QTest::addColumn<bool>("saved");
  QTest::newRow("stored") << int(ConfigSetup::kNone) << "198.51.100.77" << QStringList() << true;
  QTest::newRow("broadcast address of the subnet")
      << int(ConfigSetup::kNone) << "198.51.100.255" << QStringList{"Wrong Local IP address."}
      << false;
  QTest::newRow("no response (-200)")
      << int(ConfigSetup::kPrintersUnplugged) << "198.51.100.77"
      << QStringList{"No response from selected Ethernet Card."} << false;
  QTest::newRow("socket error") << int(ConfigSetup::kConfigPortTaken) << "198.51.100.77"
                                << QStringList{QStringLiteral("value=%1").arg(EADDRINUSE),
                                               "Unknown Error..."}
                                << false;
}

void WindowSaveTest::configRowSave() {
  QFETCH(int, setup);
  QFETCH(QString, ip);
  QFETCH(QStringList, messages);
  QFETCH(bool, saved);
  auto peer = StartPeer({"--printer", "mac=02:00:00:00:00:01,ip=198.51.100.10,port=9300",
                         "--printer", "mac=02:00:00:00:00:02,ip=198.51.100.11"});
  if (!peer) return;
  const std::vector<PrinterInfo> before = peer->Printers();
  Window window;
  window.Search();
  QCOMPARE(window.Rows(), (QStringList{"02:00:00:00:00:01", "02:00:00:00:00:02"}));
  window.TypeAddress("1023_ip", ip);
  window.TypeAddress("1025_gateway", QStringLiteral("198.51.100.254"));
  window.TypeText("1021_port", QStringLiteral("9500"));
  SocketHandle taken = INVALID_SOCKET_HANDLE;
  if (setup == int(ConfigSetup::kPrintersUnplugged)) QVERIFY(UnplugPrinters(peer->Lab()));
  if (setup == int(ConfigSetup::kConfigPortTaken)) {
    taken = CreateUdpSocket();
    QVERIFY(BindAnyAddress(taken, CONFIG_PORT));
  }

  StatusAnswerer answerer;
  QElapsedTimer elapsed;
  elapsed.start();
  window.Click("1026_save");
  CloseSocket(taken);
  QCOMPARE(m_events, messages);
  for (const MessageRequest& message : m_messages) QCOMPARE(message.icon, QMessageBox::Warning);
  const PrinterInfo stored = peer->Printers()[0];
  if (saved) {
    QCOMPARE(int(answerer.Outcomes().size()), 1);
    QCOMPARE(answerer.Outcomes()[0].text, QStringLiteral("Save Completed !!!"));
    QCOMPARE(answerer.Outcomes()[0].ticks, 0);  // confirmed at the first tick
    QCOMPARE(stored.ipAddress, Ipv4("198.51.100.77"));
    QCOMPARE(stored.gateway, Ipv4("198.51.100.254"));
    QCOMPARE(GetPrintPort(stored), uint16_t(9500));
    for (int channel = 0; channel < 2; ++channel) {
      QCOMPARE(GetChannelWord(stored, channel) & 0xC00u, 0x400u);  // bit 10 set, bit 11 clear
    }
  } else {
    QVERIFY(answerer.Outcomes().empty());
    QCOMPARE(std::memcmp(&stored, &before[0], sizeof stored), 0);
  }
  if (setup == int(ConfigSetup::kPrintersUnplugged)) {
    QVERIFY2(elapsed.elapsed() >= 2900, "the write waits 3 seconds for an answer");
  }
  // The second printer was never touched, and the typed values stay in the fields.
  QCOMPARE(std::memcmp(&peer->Printers()[1], &before[1], sizeof stored), 0);
  QCOMPARE(window.Address("1023_ip"), ip);
  QCOMPARE(window.Find<QLineEdit>("1021_port")->text(), QStringLiteral("9500"));
}

void WindowSaveTest::passwordMismatchAsksOnceForThePassword_data() {
  QTest::addColumn<std::optional<QByteArray>>("typed");
  QTest::addColumn<QStringList>("events");
  QTest::addColumn<bool>("saved");
  QTest::newRow("right password") << std::optional<QByteArray>("secret")
                                  << QStringList{PASSWORD_MISMATCH, "password?"} << true;
  QTest::newRow("wrong password") << std::optional<QByteArray>("guess")
                                  << QStringList{PASSWORD_MISMATCH, "password?", PASSWORD_MISMATCH}
                                  << false;
  QTest::newRow("cancelled") << std::optional<QByteArray>()
                             << QStringList{PASSWORD_MISMATCH, "password?"} << false;
}

void WindowSaveTest::passwordMismatchAsksOnceForThePassword() {
  QFETCH(std::optional<QByteArray>, typed);
  QFETCH(QStringList, events);
  QFETCH(bool, saved);
  auto peer = StartPeer({"--printer", "mac=02:00:00:00:00:01,ip=198.51.100.10"});
  if (!peer) return;
  Window window;
  window.Search();
  QCOMPARE(window.Rows(), QStringList{"02:00:00:00:00:01"});
  // Now the printer gets a password that the window's record does not carry.
  PrinterInfo locked = peer->Printers()[0];
  const uint8_t secret[PASSWORD_SIZE] = {'s', 'e', 'c', 'r', 'e', 't'};
  std::memcpy(locked.password, secret, PASSWORD_SIZE);
  int error = 0;
  QCOMPARE(WritePrinterSettings(WRITE_MODE_BROADCAST, &locked, secret, &error), 1);
  // The request went out twice: the answer to its second copy must not meet the window's
  // write, which would take it for its own.
  QTest::qWait(300);

  m_password = typed;
  window.TypeAddress("1023_ip", QStringLiteral("198.51.100.77"));
  window.TypeAddress("1024_mask", QStringLiteral("255.255.0.0"));
  StatusAnswerer answerer;
  window.Click("1026_save");
  QCOMPARE(m_events, events);
  QCOMPARE(m_prompts[0].maxBytes, PASSWORD_SIZE);
  QCOMPARE(m_prompts[0].caption, QStringLiteral("Printer password"));
  const PrinterInfo stored = peer->Printers()[0];
  if (saved) {
    QCOMPARE(int(answerer.Outcomes().size()), 1);
    QCOMPARE(answerer.Outcomes()[0].text, QStringLiteral("Save Completed !!!"));
    QCOMPARE(stored.ipAddress, Ipv4("198.51.100.77"));
    QCOMPARE(stored.subnetMask, Ipv4("255.255.0.0"));
    QCOMPARE(window.Address("1023_ip"), QStringLiteral("198.51.100.77"));
  } else {
    QVERIFY(answerer.Outcomes().empty());
    QCOMPARE(stored.ipAddress, Ipv4("198.51.100.10"));
    // The refusal carried the printer's record: its addresses are shown again.
    QCOMPARE(window.Address("1023_ip"), QStringLiteral("198.51.100.10"));
    QCOMPARE(window.Address("1024_mask"), QStringLiteral("255.255.255.0"));
  }
}

QTEST_MAIN(WindowSaveTest)
#include "window_save_test.moc"
