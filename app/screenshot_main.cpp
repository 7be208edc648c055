// netvora-screenshot: writes pictures of the windows, in the language of the locale, as PNG
// files into a folder: the main window (netvora-TAG.png) and the status dialog after a
// search that found nothing (status-nothing-found-TAG.png); with --search also the main
// window after a real search with its last row selected (netvora-search-TAG.png), then with
// a firmware file chosen (netvora-firmware-TAG.png), and the status dialog of a save of
// that row's settings that the printer confirmed (status-saved-TAG.png). A search
// broadcasts and a save writes to a printer: run it with --search only inside a test
// network (scripts/screenshot runs it in a namespace lab, under Xvfb, against printer-sim).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/config_dlg.h"
#include "app/file_dialog.h"
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

// Chooses a firmware file made for the picture, as the user does with Open Firmware.
bool ChooseFirmwareFile(CConfigDlg* dialog, const QTemporaryDir& folder) {
  const QString path = folder.filePath(QStringLiteral("QNEther_v210.bin"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write("firmware image") < 0) return false;
  file.close();
  SetFileDialogHandler([path](const FileDialogRequest&) { return path; });
  dialog->findChild<QPushButton*>(QStringLiteral("1041_open_firmware"))->click();
  return dialog->findChild<QPushButton*>(QStringLiteral("1039_firmware_update"))->isEnabled();
}

// Presses Save with the selected row's settings as they are and takes the status dialog once
// it shows its outcome; false unless the printer confirmed the save.
bool SaveAndTakeStatus(CConfigDlg* dialog, const QString& path) {
  bool taken = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* status = qobject_cast<CProgressDlg*>(QApplication::activeModalWidget());
    if (status == nullptr || status->TimerRunning()) return;
    taken = g_bSaveDone != 0 && Save(status, path);
    status->close();
  });
  poll.start(50);
  dialog->findChild<QPushButton*>(QStringLiteral("1026_save"))->click();
  return taken;
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
    const QTemporaryDir firmwareFolder;
    if (!firmwareFolder.isValid() || !ChooseFirmwareFile(&dialog, firmwareFolder)) {
      std::fprintf(stderr, "cannot choose a firmware file\n");
      return 1;
    }
    ok = Save(&dialog, folder.filePath(QStringLiteral("netvora-firmware-%1.png").arg(tag))) && ok;
    if (!SaveAndTakeStatus(&dialog,
                           folder.filePath(QStringLiteral("status-saved-%1.png").arg(tag)))) {
      std::fprintf(stderr, "the printer did not confirm the save\n");
      return 1;
    }
  }
  return ok ? 0 : 1;
}
