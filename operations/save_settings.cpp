// The Save button: the settings shown in the printer information group go to the selected
// printer, as a text-protocol set request that the printer acknowledges while the status
// dialog waits, or as a configuration-protocol settings write with its outcome. A write
// that the printer refuses for its password is repeated once with a password the user
// types.
#include <algorithm>
#include <cstring>

#include "app/config_dlg.h"
#include "app/message_box.h"
#include "app/password_prompt.h"
#include "app/progress_dlg.h"
#include "app/status_words.h"
#include "common/byte_reader.h"
#include "common/clock.h"
#include "common/mac_text.h"
#include "operations/broadcast_socket.h"
#include "operations/operation_texts.h"
#include "operations/text_message.h"
#include "protocol/settings_write.h"

void CConfigDlg::SaveSettings() {
  if (!UpdateData(true)) return;
  const int row = m_listResults->currentRow();
  if (row < 0 || static_cast<size_t>(row) >= m_rowMap.size()) {
    ShowMessageBox(this, QString::fromLatin1(MSG_CANNOT_FIND_MAC), QMessageBox::Warning);
    return;
  }
  if (m_rowMap[static_cast<size_t>(row)].kind == ROW_TEXT) {
    SaveTextRow(row);
  } else {
    SaveConfigRow(row);
  }
}

void CConfigDlg::SaveTextRow(int row) {
  if (!m_pSocket) {
    ShowMessageBox(this, QString::fromLatin1(texts::SAVE_NO_SOCKET), QMessageBox::Warning);
    return;
  }
  TextSettings settings{MacDigitsOf(m_listResults->item(row)->text().toStdString()),
                        0,
                        0,
                        0,
                        static_cast<uint16_t>(m_nPort),
                        m_bDhcp == 1};
  m_ipAddress->GetAddress(&settings.ipAddress);
  m_ipMask->GetAddress(&settings.subnetMask);
  m_ipGateway->GetAddress(&settings.gateway);
  // The reply as the printer will hold it once it acknowledges: its row is rebuilt from it.
  const QString stored = m_listReplies->item(m_rowMap[static_cast<size_t>(row)].index)->text();
  m_strEntryText =
      QString::fromStdString(EditStoredReply(stored.toLatin1().toStdString(), settings));
  m_strSendData = QString::fromStdString(BuildTextSet(settings, MillisecondClock()));
  m_pSocket->SetPending(m_strSendData.toLatin1(), SEND_MODE_SET);
  m_pSocket->SendPending();
  m_strSendData.clear();
  g_bSaveDone = 0;
  RunModalStatus(MODE_SAVING);
  UpdateData(false);
}

void CConfigDlg::SaveConfigRow(int row) {
  PrinterInfo& record = m_pPrinters[static_cast<size_t>(m_rowMap[static_cast<size_t>(row)].index)];
  uint32_t ip = 0;
  uint32_t mask = 0;
  uint32_t gateway = 0;
  m_ipAddress->GetAddress(&ip);
  m_ipMask->GetAddress(&mask);
  m_ipGateway->GetAddress(&gateway);
  if (!ApplyNetworkSettings(&record, {HostToNetwork32(ip), HostToNetwork32(mask),
                                      HostToNetwork32(gateway), static_cast<uint16_t>(m_nPort)})) {
    ShowMessageBox(this, QString::fromLatin1(MSG_WRONG_LOCAL_IP), QMessageBox::Warning);
    return;
  }
  // A refused write leaves the printer's answer in the record: a retry starts from this.
  const PrinterInfo edited = record;
  int error = 0;
  // The password the printer reported in its record.
  bool saved = WriteRecord(&record, edited.password, &error) == 1;
  if (!saved && error == SET_ERR_PASSWORD) {
    ShowWriteFailure(error);
    const std::optional<QByteArray> typed = AskPassword(this, m_nCodePage, PASSWORD_SIZE);
    if (!typed) {
      ShowRecordAddresses(record);
      return;
    }
    PrinterInfo retry = edited;
    std::memset(retry.password, 0, PASSWORD_SIZE);
    std::memcpy(retry.password, typed->constData(),
                std::min<size_t>(static_cast<size_t>(typed->size()), PASSWORD_SIZE));
    record = retry;
    saved = WriteRecord(&record, retry.password, &error) == 1;
  }
  if (!saved) {
    ShowWriteFailure(error);
    ShowRecordAddresses(record);
    return;
  }
  g_bSaveDone = 1;
  RunModalStatus(MODE_SAVING);
  UpdateData(false);
}

int CConfigDlg::WriteRecord(PrinterInfo* record, const uint8_t password[PASSWORD_SIZE],
                            int* error) {
  // The worker writes copies; the window's own record changes once it has returned.
  PrinterInfo written = *record;
  uint8_t key[PASSWORD_SIZE];
  std::memcpy(key, password, PASSWORD_SIZE);
  int result = -1;
  int code = 0;
  RunBlocking([&] { result = WritePrinterSettings(WRITE_MODE_BROADCAST, &written, key, &code); });
  *record = written;
  *error = code;
  return result;
}

void CConfigDlg::ShowWriteFailure(int error) {
  for (const std::string& message : WriteFailureMessages(error)) {
    ShowMessageBox(this, QString::fromStdString(message), QMessageBox::Warning);
  }
}

void CConfigDlg::ShowRecordAddresses(const PrinterInfo& record) {
  m_ipAddress->SetAddress(NetworkToHost32(record.ipAddress));
  m_ipMask->SetAddress(NetworkToHost32(record.subnetMask));
  UpdateData(false);
}

void CConfigDlg::RunModalStatus(int mode) {
  CProgressDlg status(this);
  status.SetMode(mode);
  status.exec();
}
