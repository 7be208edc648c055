#include "app/progress_dlg.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QTimerEvent>

#include "app/dialog_units.h"
#include "app/status_words.h"
#include "app/texts.h"
#include "common/clock.h"
#include "common/code_page.h"
#include "controls/icon_resources.h"

CProgressDlg::CProgressDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_clock(MillisecondClock) {
  setObjectName(QStringLiteral("136_status"));
  const DialogUnits du(font());
  setFixedSize(du.ToPixels(0, 0, 238, 74).size());
  m_staticText = new QLabel(QStringLiteral("Static"), this);
  m_staticText->setObjectName(QStringLiteral("1056_status_text"));
  m_staticText->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  m_staticText->setGeometry(du.ToPixels(15, 13, 210, 19));
  m_btnOK = new CHoverButton(this);
  m_btnOK->setObjectName(QStringLiteral("1_ok"));
  m_btnOK->setText(QStringLiteral("OK"));
  m_btnOK->setGeometry(du.ToPixels(85, 42, 65, 18));
  m_btnOK->PreSubclassWindow(CHoverButton::TYPE_DEFAULT_PUSH);
  connect(m_btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

CProgressDlg::~CProgressDlg() { EndBusyCursor(); }

bool CProgressDlg::SetMode(int mode) {
  m_nMode = mode;
  return true;
}

void CProgressDlg::ShowModeless() {
  m_bModeless = true;
  show();
}

void CProgressDlg::showEvent(QShowEvent* event) {
  if (!m_bInitialised) OnInitDialog();
  QDialog::showEvent(event);
}

void CProgressDlg::OnInitDialog() {
  m_bInitialised = true;
  // Centred in the work area of the screen that holds the main window.
  const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : this;
  if (const QScreen* screen = owner->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  m_nCodePage = SystemCodePage();
  m_btnOK->setFont(font());
  m_btnOK->SetIcon(IDI_READ, 32, 32);
  m_btnOK->SetFlat(false, true);
  m_nTicks = 0;
  switch (m_nMode) {
    case MODE_SEARCHING:
      ShowTexts(TextFor(texts::SEARCHING_LINE, m_nCodePage),
                TextFor(texts::SEARCHING_CAPTION, m_nCodePage));
      m_nTimerId = startTimer(STATUS_TIMER_PERIOD_MS);
      m_btnOK->hide();
      break;
    case MODE_SAVING:
      ShowTexts(TextFor(texts::SAVING_LINE, m_nCodePage),
                TextFor(texts::SAVING_CAPTION, m_nCodePage));
      m_nTimerId = startTimer(STATUS_TIMER_PERIOD_MS);
      m_btnOK->hide();
      break;
    case MODE_FIRMWARE_DONE:
      ShowTexts(TextFor(texts::FIRMWARE_DONE_LINE, m_nCodePage),
                TextFor(texts::FIRMWARE_DONE_CAPTION, m_nCodePage));
      m_btnOK->show();
      break;
    default:
      break;
  }
  BeginBusyCursor();
}

void CProgressDlg::ShowTexts(const QString& line, const QString& caption) {
  m_strMessage = line;
  setWindowTitle(caption);
  m_staticText->setText(m_strMessage);
  // The user-interface thread may be about to block: show the texts now.
  if (isVisible()) repaint();
}

void CProgressDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() == m_nTimerId) {
    OnTimer();
    return;
  }
  QDialog::timerEvent(event);
}

void CProgressDlg::OnTimer() {
  const uint32_t now = m_clock();
  if (m_nMode == MODE_SEARCHING) {
    const bool settled = g_bSearchDone != 0 && now - g_dwLastSearchTime > SEARCH_SETTLE_MS;
    if (!settled) {
      BeginBusyCursor();
      if (isVisible()) repaint();
      return;
    }
    ShowTexts(TextFor(texts::SEARCH_SETTLED_LINE, m_nCodePage),
              TextFor(texts::SEARCH_SETTLED_CAPTION, m_nCodePage));
    StopTimer();
    EndBusyCursor();
    g_nTotalRows = g_nAsyncRows + g_nSyncRows;
    if (g_nTotalRows != 0) {
      done(QDialog::Accepted);
      return;
    }
    ShowTexts(TextFor(texts::NOTHING_FOUND_LINE, m_nCodePage),
              TextFor(texts::NOTHING_FOUND_CAPTION, m_nCodePage));
    m_btnOK->setText(TextFor(texts::NOTHING_FOUND_OK, m_nCodePage));
    m_btnOK->show();
    if (m_bModeless && !isVisible()) deleteLater();  // closed early: nobody will see it
  } else if (m_nMode == MODE_SAVING) {
    if (g_bSaveDone != 0) {
      ShowTexts(TextFor(texts::SAVE_CONFIRMED_LINE, m_nCodePage),
                TextFor(texts::SAVE_CONFIRMED_CAPTION, m_nCodePage));
      StopTimer();
      EndBusyCursor();
      m_btnOK->show();
      return;
    }
    BeginBusyCursor();
    if (++m_nTicks > SAVE_TIMEOUT_TICKS) {
      ShowTexts(TextFor(texts::SAVE_TIMED_OUT_LINE, m_nCodePage),
                TextFor(texts::SAVE_TIMED_OUT_CAPTION, m_nCodePage));
      StopTimer();
      EndBusyCursor();
    }
  }
}

void CProgressDlg::done(int result) {
  QDialog::done(result);
  // A modeless dialog is released once it is hidden and its timer has stopped.
  if (m_bModeless && m_nTimerId == 0) deleteLater();
}

void CProgressDlg::StopTimer() {
  if (m_nTimerId != 0) killTimer(m_nTimerId);
  m_nTimerId = 0;
}

// The wait cursor is shown once per dialog however often a tick asks for it again, and
// always taken back when the dialog ends.
void CProgressDlg::BeginBusyCursor() {
  if (m_bBusy) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  m_bBusy = true;
}

void CProgressDlg::EndBusyCursor() {
  if (!m_bBusy) return;
  QApplication::restoreOverrideCursor();
  m_bBusy = false;
}
