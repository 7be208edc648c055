// What the window's network tests share: the simulator peer in a lab, datagrams from the
// printers' side, the real main window (offscreen) found and driven by object names, and an
// answerer for the modal status dialogs. User-interface thread only.
#pragma once

#include <QListWidget>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/config_dlg.h"
#include "app/progress_dlg.h"
#include "tests/net/sim_peer.h"

// Before each window test: the English locale, and the status words as the program starts.
void ResetWindowTestState();

// The peer for a test, or nullptr after the test was marked skipped or failed.
std::unique_ptr<SimPeer> StartPeer(const std::vector<std::string>& args);

// The client side's address in network order.
uint32_t ClientAddress();
// Sends one datagram from the printers' side to the window's text port.
bool SendFromPrinter(const NetnsLab& lab, const std::string& datagram);
// An information reply of a text printer with mask 255.255.255.0, gateway 198.51.100.1 and
// port 9100.
std::string InfoReply(const std::string& macDigits, const char* ip);
// Whether UDP port 27700 of the calling thread's namespace is free.
bool TextPortFree();
// Writes a file (and its folder) inside `folder`; returns its full path, or "" on failure.
QString WriteTestFile(const QTemporaryDir& folder, const QString& name, const QByteArray& contents);

// The main window, shown and active.
class Window {
 public:
  Window();

  template <typename T = QWidget>
  T* Find(const char* name) {
    return dialog.findChild<T*>(QString::fromLatin1(name));
  }
  QListWidget* Results() { return Find<QListWidget>("1017_results"); }
  QListWidget* Replies() { return Find<QListWidget>("1032_replies"); }
  CHoverButton* Button(const char* name) { return Find<CHoverButton>(name); }
  // The edit of address part `part` (0 to 5).
  QLineEdit* MacPart(int part);

  QStringList Rows();
  // The four parts of an address field as the user reads them.
  QString Address(const char* name);
  // Types a dotted address (or "" to empty it) into an address field, part by part.
  void TypeAddress(const char* name, const QString& dotted);
  // Replaces the text of an edit as the user does.
  void TypeText(const char* name, const QString& text);
  // The status dialog of the last search while it is shown.
  CProgressDlg* VisibleStatus();

  // Waits for the first row, then closes the window, whose port field must then hold a port
  // outside 1024..50000: the save exchange of the closing path fails, so the window stays
  // open with its rows, but its text-protocol socket has been closed. Returns whether that
  // is how the window is left.
  bool FailClosing();
  // Clicks Search; returns when the handler has returned.
  void Search() { Click("1003_search"); }
  // Clicks a button; returns when its handler has returned.
  void Click(const char* name);
  void ClickRow(int row);
  void TypeMac(const QString& part3, const QString& part4, const QString& part5);

  CConfigDlg dialog;
};

// Answers each modal status dialog (save, firmware done) as a user does once it shows its
// outcome, that is, once its timer has stopped: records what it shows, then presses OK
// where there is one and closes it otherwise.
class StatusAnswerer {
 public:
  struct Outcome {
    QString caption;
    QString text;
    bool okShown;
    int ticks;
  };

  StatusAnswerer();
  const std::vector<Outcome>& Outcomes() const { return m_outcomes; }

 private:
  void Poll();

  QTimer m_timer;
  std::vector<Outcome> m_outcomes;
};
