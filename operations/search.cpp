// The Search button and the result list: both printer families are asked; configuration
// rows come first, sorted by MAC, and text rows follow as their replies arrive.
#include <QSignalBlocker>
#include <cstdlib>

#include "app/config_dlg.h"
#include "app/progress_dlg.h"
#include "app/status_words.h"
#include "common/clock.h"
#include "common/mac_text.h"
#include "controls/icon_resources.h"
#include "operations/text_message.h"
#include "protocol/discovery.h"

namespace {

int CompareMacEntries(const void* a, const void* b) {
  return CompareMac(*static_cast<const PrinterInfo*>(a), *static_cast<const PrinterInfo*>(b));
}

}  // namespace

void CConfigDlg::StartSearch() {
  ResetRows();
  m_btnSearch->setFont(font());
  m_btnSearch->SetIcon(IDI_SEARCH_BUSY, 32, 32);
  m_btnSearch->SetFlat(false, true);
  repaint();  // the busy icon shows before the blocking work starts
  g_bSearchDone = 0;
  ShowSearchStatus();
  BroadcastTextSearch();
  g_dwLastSearchTime = MillisecondClock();
  RunConfigSearch();
  g_dwLastSearchTime = MillisecondClock();
  g_bSearchDone = 1;
  SelectionChanged();
  m_btnSearch->setFont(font());
  m_btnSearch->SetIcon(IDI_SEARCH, 32, 32);
  m_btnSearch->SetFlat(false, true);
  UpdateData(false);
}

int CConfigDlg::RunConfigSearch() {
  PrinterInfo* table = m_pPrinters.get();
  int count = 0;
  int error = 0;
  int result = -1;
  RunBlocking([&] { result = SearchPrinters(SEARCH_MODE_BROADCAST, 0, table, &count, &error); });
  if (result != 1) count = 0;  // a failed exchange found nothing
  if (count >= 2) std::qsort(table, static_cast<size_t>(count), sizeof *table, CompareMacEntries);
  UpdateData(false);
  if (count <= 0) {
    g_nSyncRows = 0;
    return 0;
  }
  for (int i = 0; i < count; ++i) {
    AppendResultRow(QString::fromStdString(FormatMac(table[i].mac)),
                    RowEntry{ROW_CONFIG, 0, g_nSyncRows});
    ++g_nSyncRows;
  }
  SelectResultRow(0);
  SelectionChanged();
  return 0;
}

void CConfigDlg::AddTextRow() {
  const TextInfo info = DecodeTextInfo(m_strSelEntry.toLatin1().toStdString());
  // The reply was just appended to the store: the row points at the store's last text.
  AppendResultRow(
      QString::fromStdString(info.macText),
      RowEntry{ROW_TEXT, static_cast<uint8_t>(info.dhcp ? 1 : 0), m_listReplies->count() - 1});
  ShowReplyFields(info);
  ++g_nAsyncRows;
  g_dwLastSearchTime = MillisecondClock();
  SelectResultRow(0);
  SelectionChanged();
  UpdateData(false);
}

void CConfigDlg::ResetRows() {
  m_rowMap.clear();
  g_nAsyncRows = g_nSyncRows = g_nTotalRows = 0;
  EmptyList(m_listResults);
  // Text rows point into the reply store by position, so the store starts empty too.
  EmptyList(m_listReplies);
}

void CConfigDlg::ShowSearchStatus() {
  auto* status = new CProgressDlg(this);  // ends itself and is released when it has
  status->ShowModeless();
}

void CConfigDlg::AppendResultRow(const QString& text, const RowEntry& entry) {
  const QSignalBlocker blocker(m_listResults);
  m_listResults->addItem(text);
  m_rowMap.push_back(entry);
}

void CConfigDlg::SelectResultRow(int row) {
  const QSignalBlocker blocker(m_listResults);
  m_listResults->setCurrentRow(row);
}
