// The window's firmware file and download on a real network: the real main window
// (offscreen) in the lab's client namespace, the simulator's text printer and download
// service in the printers' namespace. Files are made in a temporary folder; the file dialog
// is answered through its seam.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/file_dialog.h"
#include "app/message_box.h"
#include "app/status_words.h"
#include "tcp/download_header.h"
#include "tests/app/window_fixture.h"

namespace {

const std::vector<std::string> TEXT_PRINTER = {"--silent", "--text-printer",
                                               "mac=44A8C2000001,ip=198.51.100.2"};
const QByteArray WITH_ZERO_BYTES("ab\0cd\0ef", 8);

// A temporary folder whose path holds neither "bin" nor "QNEther_v", so that only the names
// made inside it decide.
std::unique_ptr<QTemporaryDir> NeutralFolder() {
  for (;;) {
    auto folder =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/nvfw-XXXXXX"));
    if (!folder->isValid()) return nullptr;
    if (!folder->path().contains(QStringLiteral("bin"))) return folder;
  }
}

}  // namespace

class WindowFirmwareTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void firmwareFileIsCheckedByNameAndSize();
  void downloadOutcomes_data();
  void downloadOutcomes();

 private:
  // Presses Open Firmware with the dialog answering `path` ("": cancelled).
  void ChooseFile(Window* window, const QString& path);

  QStringList m_messages;
  std::vector<MessageRequest> m_requests;
  std::vector<FileDialogRequest> m_dialogs;
};

void WindowFirmwareTest::init() {
  m_messages.clear();
  m_requests.clear();
  m_dialogs.clear();
  SetMessageBoxHandler([this](const MessageRequest& request) {
    m_requests.push_back(request);
    m_messages << request.text;
  });
  ResetWindowTestState();
}

void WindowFirmwareTest::cleanup() {
  SetMessageBoxHandler(nullptr);
  SetFileDialogHandler(nullptr);
}

void WindowFirmwareTest::ChooseFile(Window* window, const QString& path) {
  SetFileDialogHandler([this, path](const FileDialogRequest& request) {
    m_dialogs.push_back(request);
    return path;
  });
  window->Click("1041_open_firmware");
}

void WindowFirmwareTest::firmwareFileIsCheckedByNameAndSize() {
  const auto folder = NeutralFolder();
  QVERIFY(folder);
  auto peer = StartPeer(TEXT_PRINTER);
  if (!peer) return;
  Window window;
  window.Search();
  QTRY_COMPARE(window.Results()->count(), 1);
  auto* update = window.Button("1039_firmware_update");
  auto* name = window.Find<QLineEdit>("1038_firmware_file");
  auto* trace = window.Find<QPlainTextEdit>("1040_trace");
  QVERIFY(window.Button("1041_open_firmware")->isVisible());
  QVERIFY(!update->isEnabled());

  struct Row {
    const char* name;
    QString path;  // "" : the dialog is cancelled
    bool accepted;
    QString shown;  // edit 1038 afterwards
    QString trace;  // the hidden trace afterwards
    bool enabled;   // Firmware Update afterwards
  };
  const QString abc = WriteTestFile(*folder, QStringLiteral("QNEther_v210.bin"), "abc");
  const QString hex =
      WriteTestFile(*folder, QStringLiteral("bin/QNEther_v210.hex"), WITH_ZERO_BYTES);
  const QString empty = WriteTestFile(*folder, QStringLiteral("QNEther_v0.bin"), QByteArray());
  const QString largest =
      WriteTestFile(*folder, QStringLiteral("QNEther_v_max.bin"), QByteArray(FILE_BODY_MAX, 'x'));
  const QString lower = WriteTestFile(*folder, QStringLiteral("qnether_v210.bin"), "abc");
  const QString upper = WriteTestFile(*folder, QStringLiteral("BIN/QNEther_v210.BIN"), "abc");
  const QString tooLarge = WriteTestFile(*folder, QStringLiteral("QNEther_v_big.bin"),
                                         QByteArray(FILE_BODY_MAX + 1, 'x'));
  const QString missing = folder->filePath(QStringLiteral("QNEther_v_gone.bin"));
  const QString fullLength = QStringLiteral(" Len: %1, %1").arg(FILE_BODY_MAX);
  const Row rows[] = {
      {"cancelled", QString(), false, QString(), QString(), false},
      {"lower-case family name", lower, false, QString(), QString(), false},
      {"BIN in capitals only", upper, false, QString(), QString(), false},
      {"QNEther_v...bin", abc, true, abc, QStringLiteral(" Len: 3, 3"), true},
      {"hex file in a folder named bin, zero bytes inside", hex, true, hex,
       QStringLiteral(" Len: 2, 8"), true},
      {"0-byte file", empty, true, empty, QStringLiteral(" Len: 0, 0"), true},
      {"largest file a download carries", largest, true, largest, fullLength, true},
      // Refused after the path was shown; the last accepted file stays chosen.
      {"one byte too large", tooLarge, false, tooLarge, fullLength, true},
      {"file that does not exist", missing, false, missing, fullLength, true},
  };
  for (const Row& row : rows) {
    const QByteArray what(row.name);
    QVERIFY2(!row.path.isEmpty() || what == "cancelled", what);
    m_messages.clear();
    m_requests.clear();
    m_dialogs.clear();
    ChooseFile(&window, row.path);
    QVERIFY2(m_dialogs.size() == 1, what);
    QVERIFY2(m_dialogs[0].nameFilters == (QStringList{"Binary File (*.bin)", "All Files (*.*)"}),
             what);
    QVERIFY2(m_dialogs[0].parent == &window.dialog, what);
    const bool refused = !row.accepted && !row.path.isEmpty();
    QVERIFY2(m_messages == (refused ? QStringList{"Can't Open File !"} : QStringList()), what);
    if (refused) {
      QVERIFY2(m_requests[0].caption == QStringLiteral("Warning"), what);
      QVERIFY2(m_requests[0].icon == QMessageBox::Critical, what);
    }
    QVERIFY2(name->text() == row.shown, what);
    QVERIFY2(trace->toPlainText() == row.trace, what);
    QVERIFY2(update->isEnabled() == row.enabled, what);
  }

  // The largest file is what a download now sends, whole.
  StatusAnswerer answerer;
  window.Click("1039_firmware_update");
  QCOMPARE(int(answerer.Outcomes().size()), 1);
  QTRY_COMPARE(int(peer->Downloads().size()), 1);
  QCOMPARE(peer->Downloads()[0].announcedLength, uint32_t(FILE_BODY_MAX));
  QCOMPARE(peer->Downloads()[0].receivedLength, size_t(FILE_BODY_MAX));

  // The download leaves the image as text in the trace, which the next load shows, once:
  // later loads do not lay the long text out again.
  window.Search();
  QTRY_COMPARE(window.Results()->count(), 1);
  QCOMPARE(trace->toPlainText(), QString(FILE_BODY_MAX, QLatin1Char('x')) + QLatin1Char('\n'));
  QSignalSpy traceSet(trace, &QPlainTextEdit::textChanged);
  QTest::mouseClick(window.Find("1028_dhcp"), Qt::LeftButton);  // saves, then loads
  QCOMPARE(traceSet.count(), 0);
}

void WindowFirmwareTest::downloadOutcomes_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<QStringList>("faults");  // printer-sim's download switches
  QTest::addColumn<QString>("caption");     // of the status dialog, "" for none
  QTest::addColumn<QString>("text");
  QTest::addColumn<QStringList>("messages");
  QTest::addColumn<int>("received");  // body bytes the printer took
  QTest::newRow("accepted") << "en_US.UTF-8" << QStringList()
                            << "Firmware downloading is completed."
                            << "Firmware downloading is completed.\nPlease turn off the printer "
                               "and turn it on again."
                            << QStringList() << 8;
  QTest::newRow("accepted, Korean")
      << "ko_KR.UTF-8" << QStringList() << "탈보테크 펌웨어 다운로드 완료"
      << "펌웨어가 정상적으로 다운로드 되었습니다.\n정상적인 사용을 위해 프린터를 끈 후 다시 켜 "
         "주십시요."
      << QStringList() << 8;
  QTest::newRow("refused (NAK)") << "en_US.UTF-8" << QStringList{"--download-nak-ready"}
                                 << QString() << QString() << QStringList{"Fail Program Download!"}
                                 << 0;
  QTest::newRow("final reply fails its check")
      << "en_US.UTF-8" << QStringList{"--download-bad-byte6"} << QString() << QString()
      << QStringList() << 8;
}

void WindowFirmwareTest::downloadOutcomes() {
  QFETCH(QString, locale);
  QFETCH(QStringList, faults);
  QFETCH(QString, caption);
  QFETCH(QString, text);
  QFETCH(QStringList, messages);
  QFETCH(int, received);
  setenv("LANG", locale.toUtf8().constData(), 1);
  const auto folder = NeutralFolder();
  QVERIFY(folder);
  const QString path = WriteTestFile(*folder, QStringLiteral("QNEther_v210.bin"), WITH_ZERO_BYTES);
  std::vector<std::string> args = TEXT_PRINTER;
  for (const QString& fault : faults) args.push_back(fault.toStdString());
  auto peer = StartPeer(args);
  if (!peer) return;
  Window window;
  window.Search();
  QTRY_COMPARE(window.Results()->count(), 1);
  QCOMPARE(window.Address("1044_firmware_ip"), QStringLiteral("198.51.100.2"));
  ChooseFile(&window, path);
  QVERIFY(m_messages.isEmpty());

  StatusAnswerer answerer;
  window.Click("1039_firmware_update");
  QCOMPARE(m_messages, messages);
  for (const MessageRequest& request : m_requests) QCOMPARE(request.icon, QMessageBox::Warning);
  if (caption.isEmpty()) {
    QVERIFY(answerer.Outcomes().empty());
  } else {
    QCOMPARE(int(answerer.Outcomes().size()), 1);
    QCOMPARE(answerer.Outcomes()[0].caption, caption);
    QCOMPARE(answerer.Outcomes()[0].text, text);
    QVERIFY(answerer.Outcomes()[0].okShown);
  }
  // The image as chosen, zero bytes included, announced and sent whole. (The printer records
  // a download once its final reply is out.)
  QTRY_COMPARE(int(peer->Downloads().size()), 1);
  QVERIFY(peer->Downloads()[0].headerValid);
  QCOMPARE(peer->Downloads()[0].announcedLength, 8u);
  QCOMPARE(int(peer->Downloads()[0].receivedLength), received);
  QCOMPARE(window.Find<QPlainTextEdit>("1040_trace")->toPlainText(), QStringLiteral(" Len: 2, 8"));
}

QTEST_MAIN(WindowFirmwareTest)
#include "window_firmware_test.moc"
