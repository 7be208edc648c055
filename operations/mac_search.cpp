// The search for one text-protocol printer by its hardware address: the six address
// parts, the "Search using MAC Address" switch and Read.
#include "app/config_dlg.h"
#include "app/message_box.h"
#include "app/status_words.h"
#include "common/clock.h"
#include "operations/operation_texts.h"

namespace {

constexpr int FIRST_TYPED_PART = 3;  // the first three parts are fixed

}  // namespace

void CConfigDlg::MacSearchToggled() {
  UpdateData(true);
  m_bSearchByMac = m_checkSearchByMac->isChecked() ? 1 : 0;
  for (int part = FIRST_TYPED_PART; part < MAC_PARTS; ++part) {
    m_editMac[part]->setEnabled(m_bSearchByMac != 0);
  }
  m_btnRead->setEnabled(m_bSearchByMac != 0);
  m_btnSearch->setEnabled(m_bSearchByMac == 0);
  UpdateData(false);
}

void CConfigDlg::MacPartChanged(int part) {
  UpdateData(true);
  const int length = static_cast<int>(m_strMac[part].size());
  QWidget* next = nullptr;
  if (length == MAC_PART_CHARS) {
    // After the last part the focus goes to Search, or, while the address search has
    // Search disabled (a disabled button takes no focus), to Read.
    next = part + 1 < MAC_PARTS       ? static_cast<QWidget*>(m_editMac[part + 1])
           : m_btnSearch->isEnabled() ? static_cast<QWidget*>(m_btnSearch)
                                      : static_cast<QWidget*>(m_btnRead);
  } else if (length == 0 && part > 0) {
    next = m_editMac[part - 1];
  }
  if (next != nullptr) next->setFocus();
  if (part > 0 || length == MAC_PART_CHARS) UpdateData(false);
}

void CConfigDlg::ReadByMac() {
  ResetRows();
  for (const QString& part : m_strMac) {
    if (part.size() != MAC_PART_CHARS) {
      UpdateData(false);
      ShowMessageBox(this, QString::fromLatin1(texts::MAC_INPUT_MISSING), QMessageBox::NoIcon,
                     QString::fromLatin1(texts::MAC_INPUT_CAPTION));
      return;
    }
  }
  g_bSearchDone = 0;
  ShowSearchStatus();
  BroadcastTextSearch();
  g_dwLastSearchTime = MillisecondClock();
  g_bSearchDone = 1;
}
