// netvora-screenshot: writes pictures of the windows, in the language of the locale, as PNG
// files into a folder: the main window (netvora-TAG.png) and the status dialog after a
// search that found nothing (status-nothing-found-TAG.png); with --search also the main
// window after a real search with its last row selected (netvora-search-TAG.png). A search
// broadcasts: run it with --search only inside a test network (scripts/screenshot runs it
// in a namespace lab, under Xvfb).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <cstdio>
#include <cstring>

#include "app/config_dlg.h"
#include "app/message_box.h"
#include "app/progress_dlg.h"
#include "app/status_words.h"

namespace {

constexpr int SEARCH_SETTLE_LIMIT_MS = 15000;

uint32_t SettledClock() { return g_dwLastSearchTime + 2000; }

bool Save(QWidget* window, const QString& path) {
  QApplication::processEvents();
  const bool saved = window->grab().save(path);
  std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "cannot write",
               qPrintable(path));
  return saved;
}

bool StatusShown(const CConfigDlg& dialog) {
  for (const CProgressDlg* status : dialog.findChildren<CProgressDlg*>()) {
    if (status->isVisible()) return true;
  }
  return false;
}

// Presses Search as the user does and waits until the status dialog has settled and closed;
// then selects the last row (a text-protocol printer's, when any answered). False when the
// search found nothing.
bool SearchAndSelectLastRow(CConfigDlg* dialog) {
  dialog->findChild<QPushButton*>(QStringLiteral("1003_search"))->click();
  QElapsedTimer waited;
  waited.start();
  while (StatusShown(*dialog) && waited.elapsed() < SEARCH_SETTLE_LIMIT_MS) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
  }
  auto* results = dialog->findChild<QListWidget*>(QStringLiteral("1017_results"));
  if (results->count() == 0) return false;
  results->setCurrentRow(results->count() - 1);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("netvora"));
  const bool search = argc == 4 && std::strcmp(argv[3], "--search") == 0;
  if (argc != 3 && !search) {
    std::fprintf(stderr, "usage: netvora-screenshot FOLDER TAG [--search]\n");
    return 2;
  }
  // A message would wait for a click nobody gives: print it instead.
  SetMessageBoxHandler([](const MessageRequest& request) {
    std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
  });
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  const QString tag = QString::fromLocal8Bit(argv[2]);
  CConfigDlg dialog;
  dialog.show();
  bool ok = Save(&dialog, folder.filePath(QStringLiteral("netvora-%1.png").arg(tag)));

  {
    CProgressDlg status(&dialog);
    status.SetClock(SettledClock);
    status.show();
    g_bSearchDone = 1;
    status.OnTimer();  // a search that settled with no rows
    ok = Save(&status, folder.filePath(QStringLiteral("status-nothing-found-%1.png").arg(tag))) &&
         ok;
  }

  if (search) {
    if (!SearchAndSelectLastRow(&dialog)) {
      std::fprintf(stderr, "the search found no printer\n");
      return 1;
    }
    ok = Save(&dialog, folder.filePath(QStringLiteral("netvora-search-%1.png").arg(tag))) && ok;
  }
  return ok ? 0 : 1;
}
