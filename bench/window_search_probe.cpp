// How long the window's search takes with 256 configuration-protocol printers and a few
// text-protocol printers answering, in a namespace lab (root): from the Search click to
// the handler's return with every configuration row listed, to the settled list (every
// text row listed too), and to the status dialog closing. The exchange itself waits for
// 2 s of quiet, the floor of every search. Prints one line per run, then the medians.
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/config_dlg.h"
#include "app/message_box.h"
#include "app/progress_dlg.h"
#include "tests/net/sim_peer.h"

namespace {

constexpr int CONFIG_PRINTERS = 256;
constexpr int TEXT_PRINTERS = 4;
constexpr int WAIT_LIMIT_MS = 20000;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

bool StatusShown(const CConfigDlg& dialog) {
  for (const CProgressDlg* status : dialog.findChildren<CProgressDlg*>()) {
    if (status->isVisible()) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::vector<std::string> args = {"--printers", std::to_string(CONFIG_PRINTERS)};
  for (int i = 1; i <= TEXT_PRINTERS; ++i) {
    args.push_back("--text-printer");
    args.push_back("mac=44A8C20000" + std::string(i < 10 ? "0" : "") + std::to_string(i));
  }
  std::string why;
  bool noLab = false;
  const auto peer = SimPeer::Launch(args, &why, &noLab);
  if (!peer) {
    std::fprintf(stderr, "window-search-probe: %s\n", why.c_str());
    return 2;
  }
  SetMessageBoxHandler([](const MessageRequest& request) {
    std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
  });
  CConfigDlg dialog;
  dialog.show();
  if (!QTest::qWaitForWindowExposed(&dialog)) return 1;
  auto* search = dialog.findChild<QPushButton*>(QStringLiteral("1003_search"));
  auto* results = dialog.findChild<QListWidget*>(QStringLiteral("1017_results"));
  const int allRows = CONFIG_PRINTERS + TEXT_PRINTERS;
  std::vector<double> returned, settled, closed;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer clock;
    clock.start();
    search->click();
    returned.push_back(clock.nsecsElapsed() / 1e6);
    const int configRows = results->count();
    if (!QTest::qWaitFor([&] { return results->count() == allRows; }, WAIT_LIMIT_MS)) break;
    settled.push_back(clock.nsecsElapsed() / 1e6);
    if (!QTest::qWaitFor([&] { return !StatusShown(dialog); }, WAIT_LIMIT_MS)) break;
    closed.push_back(clock.nsecsElapsed() / 1e6);
    std::printf(
        "run %d: %d configuration rows when the handler returned after %.0f ms; %d rows "
        "settled after %.0f ms; status dialog closed after %.0f ms\n",
        run + 1, configRows, returned.back(), allRows, settled.back(), closed.back());
  }
  if (closed.size() != static_cast<size_t>(runs)) {
    std::fprintf(stderr, "window-search-probe: the list did not settle (%d of %d rows)\n",
                 results->count(), allRows);
    return 1;
  }
  std::printf(
      "median over %d runs: handler returned %.0f ms, list settled %.0f ms, status "
      "dialog closed %.0f ms (the exchange's quiet floor: 2000 ms)\n",
      runs, Median(returned), Median(settled), Median(closed));
  return 0;
}
