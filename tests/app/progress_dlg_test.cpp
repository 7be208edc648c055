// The status dialog's decisions, tick by tick, on its own one-second timer, with a clock
// the test sets. The ticks are the dialog's real timer events, so no tick the test does not
// see can change what it checks; each tick reads the clock once, which shows that it came.
#include "app/progress_dlg.h"

#include <QtTest>
#include <cstdlib>

#include "app/status_words.h"

namespace {

uint32_t g_nNow = 0;
int g_nClockReads = 0;
uint32_t TestClock() {
  ++g_nClockReads;
  return g_nNow;
}

// Long enough for a one-second tick on a loaded machine.
constexpr int TICK_WAIT_MS = 5000;

}  // namespace

class ProgressDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void searchSettlesOnlyAfterMoreThan1500Ms_data();
  void searchSettlesOnlyAfterMoreThan1500Ms();
  void nothingFoundShowsTheFirewallHint_data();
  void nothingFoundShowsTheFirewallHint();
  void saveConfirmedOnTheFirstTick();
  void saveTimesOutOnTheSeventhTick();
  void firmwareDoneShowsAtOnceWithoutTimer();
};

void ProgressDlgTest::init() {
  unsetenv("LC_ALL");
  unsetenv("LC_CTYPE");
  setenv("LANG", "en_US.UTF-8", 1);
  g_bSearchDone = g_bSaveDone = 0;
  g_nAsyncRows = g_nSyncRows = g_nTotalRows = 0;
  g_dwLastSearchTime = 0;
  g_nNow = 0;
  g_nClockReads = 0;
}

void ProgressDlgTest::searchSettlesOnlyAfterMoreThan1500Ms_data() {
  QTest::addColumn<int>("searchDone");
  QTest::addColumn<uint>("last");
  QTest::addColumn<uint>("now");
  QTest::addColumn<bool>("settled");
  QTest::newRow("search still running") << 0 << 1000u << 9000u << false;
  QTest::newRow("exactly 1500 ms") << 1 << 1000u << 2500u << false;
  QTest::newRow("1501 ms") << 1 << 1000u << 2501u << true;
  QTest::newRow("across the clock's wrap") << 1 << 0xFFFFFF00u << 0x00000600u << true;
  QTest::newRow("clock behind the last activity") << 1 << 5000u << 4000u << true;
}

void ProgressDlgTest::searchSettlesOnlyAfterMoreThan1500Ms() {
  QFETCH(int, searchDone);
  QFETCH(uint, last);
  QFETCH(uint, now);
  QFETCH(bool, settled);
  g_bSearchDone = searchDone;
  g_dwLastSearchTime = last;
  g_nSyncRows = 2;
  g_nAsyncRows = 1;
  g_nNow = now;
  CProgressDlg dialog;
  dialog.SetClock(TestClock);
  dialog.show();
  QVERIFY(dialog.TimerRunning());
  QVERIFY(dialog.BusyCursorShown());
  QCOMPARE(dialog.StatusText(), QStringLiteral("Now searching printers..."));
  QCOMPARE(dialog.windowTitle(), QStringLiteral("TALVO TECH Ethernet Printer Searching..."));
  QVERIFY(dialog.OkButton()->isHidden());
  QCOMPARE(g_nClockReads, 0);  // nothing is decided before the first tick
  QTRY_VERIFY_WITH_TIMEOUT(g_nClockReads > 0, TICK_WAIT_MS);
  QCOMPARE(!dialog.TimerRunning(), settled);
  QCOMPARE(dialog.isVisible(), !settled);  // rows were found: the dialog ends itself
  QCOMPARE(g_nTotalRows, settled ? 3 : 0);
  QCOMPARE(dialog.BusyCursorShown(), !settled);
}

void ProgressDlgTest::nothingFoundShowsTheFirewallHint_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<QString>("line");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QString>("ok");
  QTest::newRow("English") << "en_US.UTF-8"
                           << "Cannot search the ethernet printer.\nPlease check the firewall..."
                           << "Ethernet Printer Searching Results..."
                           << "OK";
  QTest::newRow("Korean")
      << "ko_KR.UTF-8"
      << "탈보테크 프린터를 찾을 수가 없습니다.\n방화벽이 설정되어 있는 지 확인 바랍니다..."
      << "탈보테크 Ethernet 프린터 검색 결과..."
      << "확인";
}

void ProgressDlgTest::nothingFoundShowsTheFirewallHint() {
  QFETCH(QString, locale);
  QFETCH(QString, line);
  QFETCH(QString, caption);
  QFETCH(QString, ok);
  setenv("LANG", locale.toUtf8().constData(), 1);
  g_bSearchDone = 1;
  g_dwLastSearchTime = 0;
  g_nNow = 2000;
  CProgressDlg dialog;
  dialog.SetClock(TestClock);
  dialog.show();
  QCOMPARE(dialog.OkButton()->text(), QStringLiteral("OK"));
  QTRY_VERIFY_WITH_TIMEOUT(!dialog.TimerRunning(), TICK_WAIT_MS);
  QVERIFY(dialog.isVisible());
  QVERIFY(!dialog.TimerRunning());
  QCOMPARE(dialog.StatusText(), line);
  QCOMPARE(dialog.windowTitle(), caption);
  QCOMPARE(dialog.OkButton()->text(), ok);
  QVERIFY(!dialog.OkButton()->isHidden());
  QCOMPARE(g_nTotalRows, 0);
}

void ProgressDlgTest::saveConfirmedOnTheFirstTick() {
  setenv("LANG", "ko_KR.UTF-8", 1);
  CProgressDlg dialog;
  dialog.SetClock(TestClock);
  dialog.SetMode(MODE_SAVING);
  dialog.show();
  QCOMPARE(dialog.StatusText(), QStringLiteral("프린터에 설정 값을 저장 중입니다..."));
  g_bSaveDone = 1;
  QTRY_VERIFY_WITH_TIMEOUT(g_nClockReads > 0, TICK_WAIT_MS);
  QCOMPARE(g_nClockReads, 1);
  QCOMPARE(dialog.StatusText(), QStringLiteral("프린터에 저장이 완료되었습니다."));
  QCOMPARE(dialog.windowTitle(), QStringLiteral("탈보테크 Ethernet 프린터 정보 저장"));
  QVERIFY(!dialog.OkButton()->isHidden());
  QCOMPARE(dialog.OkButton()->text(), QStringLiteral("OK"));  // "확인" only when nothing was found
  QVERIFY(!dialog.TimerRunning());
  QVERIFY(!dialog.BusyCursorShown());
}

void ProgressDlgTest::saveTimesOutOnTheSeventhTick() {
  CProgressDlg dialog;
  dialog.SetClock(TestClock);
  dialog.SetMode(MODE_SAVING);
  dialog.show();
  QTRY_COMPARE_WITH_TIMEOUT(dialog.Ticks(), 6, 6 * TICK_WAIT_MS);
  QCOMPARE(dialog.StatusText(), QStringLiteral("Now saving...."));
  QVERIFY(dialog.TimerRunning());
  QTRY_COMPARE_WITH_TIMEOUT(dialog.Ticks(), 7, TICK_WAIT_MS);
  QCOMPARE(g_nClockReads, 7);
  QCOMPARE(dialog.StatusText(), QStringLiteral("Save Error !!!"));
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Save Result"));
  QVERIFY(dialog.OkButton()->isHidden());
  QVERIFY(!dialog.TimerRunning());
  QVERIFY(!dialog.BusyCursorShown());
}

void ProgressDlgTest::firmwareDoneShowsAtOnceWithoutTimer() {
  CProgressDlg dialog;
  dialog.SetMode(MODE_FIRMWARE_DONE);
  dialog.show();
  QVERIFY(!dialog.TimerRunning());
  QVERIFY(!dialog.OkButton()->isHidden());
  QCOMPARE(
      dialog.StatusText(),
      QStringLiteral(
          "Firmware downloading is completed.\nPlease turn off the printer and turn it on again."));
  QCOMPARE(dialog.windowTitle(), QStringLiteral("Firmware downloading is completed."));
}

QTEST_MAIN(ProgressDlgTest)
#include "progress_dlg_test.moc"
