// netvora-screenshot: writes pictures of the windows, in the language of the locale, as PNG
// files into a folder: the main window (netvora-TAG.png) and the status dialog after a
// search that found nothing (status-nothing-found-TAG.png). Run it under a real display
// server (scripts/screenshot uses Xvfb).
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "app/config_dlg.h"
#include "app/progress_dlg.h"
#include "app/status_words.h"

namespace {

uint32_t SettledClock() { return g_dwLastSearchTime + 2000; }

bool Save(QWidget* window, const QString& path) {
  QApplication::processEvents();
  const bool saved = window->grab().save(path);
  std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "cannot write",
               qPrintable(path));
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("netvora"));
  if (argc != 3) {
    std::fprintf(stderr, "usage: netvora-screenshot FOLDER TAG\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  const QString tag = QString::fromLocal8Bit(argv[2]);
  CConfigDlg dialog;
  dialog.show();
  bool ok = Save(&dialog, folder.filePath(QStringLiteral("netvora-%1.png").arg(tag)));

  CProgressDlg status(&dialog);
  status.SetClock(SettledClock);
  status.show();
  g_bSearchDone = 1;
  status.OnTimer();  // a search that settled with no rows
  ok = Save(&status, folder.filePath(QStringLiteral("status-nothing-found-%1.png").arg(tag))) && ok;
  return ok ? 0 : 1;
}
