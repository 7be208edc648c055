// CProgressDlg: the small status window of searches, saves and firmware downloads. It does
// no work itself: a one-second timer polls the status words and decides when the work has
// finished and how. User-interface thread only.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QString>
#include <cstdint>

#include "controls/hover_button.h"

constexpr int MODE_SEARCHING = 0;
constexpr int MODE_SAVING = 1;
constexpr int MODE_FIRMWARE_DONE = 3;

constexpr int STATUS_TIMER_PERIOD_MS = 1000;
constexpr uint32_t SEARCH_SETTLE_MS = 1500;
constexpr int SAVE_TIMEOUT_TICKS = 6;

class CProgressDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CProgressDlg(QWidget* parent = nullptr);
  ~CProgressDlg() override;

  // Must be called before the window is first shown.
  bool SetMode(int mode);
  // Shows the dialog modeless (searches): it ends itself and is released afterwards.
  void ShowModeless();

  // One timer tick, with the millisecond clock read through the clock seam.
  void OnTimer();
  // The millisecond clock the timer handler reads (tests move it by hand).
  void SetClock(uint32_t (*clock)()) { m_clock = clock; }

  int Ticks() const { return m_nTicks; }
  bool TimerRunning() const { return m_nTimerId != 0; }
  bool BusyCursorShown() const { return m_bBusy; }
  QString StatusText() const { return m_staticText->text(); }
  CHoverButton* OkButton() const { return m_btnOK; }

 protected:
  void showEvent(QShowEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void done(int result) override;

 private:
  void OnInitDialog();
  void ShowTexts(const QString& line, const QString& caption);
  void StopTimer();
  void BeginBusyCursor();
  void EndBusyCursor();

  int m_nCodePage = 0;
  QString m_strMessage;
  QLabel* m_staticText;
  int m_nMode = MODE_SEARCHING;
  int m_nTicks = 0;
  CHoverButton* m_btnOK;
  int m_nTimerId = 0;
  bool m_bInitialised = false;
  bool m_bModeless = false;
  bool m_bBusy = false;
  uint32_t (*m_clock)();
};
