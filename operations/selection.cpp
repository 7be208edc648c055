// The selected printer's settings, and the dialog adapted to its family: a text-protocol
// row shows its firmware version, DHCP switch and the F/W Update group; a
// configuration-protocol row hides them.
#include "app/config_dlg.h"
#include "common/byte_reader.h"
#include "operations/text_message.h"

void CConfigDlg::SelectionChanged() {
  UpdateData(true);
  const int row = m_listResults->currentRow();
  const bool hasRows = m_listResults->count() > 0;
  for (QWidget* control :
       std::initializer_list<QWidget*>{m_ipAddress, m_ipMask, m_ipGateway, m_editPort, m_ipFirmware,
                                       m_btnOpenFirmware, m_btnSave, m_btnTestPrint}) {
    control->setEnabled(hasRows);
  }
  if (row < 0 || static_cast<size_t>(row) >= m_rowMap.size()) {
    UpdateData(false);
    return;
  }
  const RowEntry& entry = m_rowMap[static_cast<size_t>(row)];
  if (entry.kind == ROW_TEXT) {
    ShowFirmwareGroup(true);
    m_btnRead->setEnabled(m_bSearchByMac != 0);
    m_checkSearchByMac->setEnabled(true);
    ShowTextRow();
  } else {
    const PrinterInfo& record = m_pPrinters[static_cast<size_t>(entry.index)];
    m_ipAddress->SetAddress(NetworkToHost32(record.ipAddress));
    m_ipMask->SetAddress(NetworkToHost32(record.subnetMask));
    m_ipGateway->SetAddress(NetworkToHost32(record.gateway));
    m_nPort = GetPrintPort(record);
    EnableAddressControls(true);
    ShowFirmwareGroup(false);
    m_checkDhcp->hide();
    m_btnRead->setEnabled(false);
    m_checkSearchByMac->setEnabled(false);
    m_btnTestPrint->setEnabled(true);
  }
  UpdateData(false);
}

void CConfigDlg::ShowTextRow() {
  const RowEntry& entry = m_rowMap[static_cast<size_t>(m_listResults->currentRow())];
  m_strSelEntry = m_listReplies->item(entry.index)->text();
  const TextInfo info = DecodeTextInfo(m_strSelEntry.toLatin1().toStdString());
  m_ipFirmware->SetAddress(info.ipAddress);
  ShowReplyFields(info);
  m_btnTestPrint->setEnabled(!info.dhcp);
  m_checkDhcp->setVisible(info.dhcpSupported);
  UpdateData(false);
}

void CConfigDlg::DhcpToggled() {
  UpdateData(true);
  m_bDhcp = m_checkDhcp->isChecked() ? 1 : 0;
  EnableAddressControls(m_bDhcp == 0);
  UpdateData(false);
}

void CConfigDlg::ShowReplyFields(const TextInfo& info) {
  m_ipAddress->SetAddress(info.ipAddress);
  m_ipMask->SetAddress(info.subnetMask);
  m_ipGateway->SetAddress(info.gateway);
  m_nPort = info.port;
  m_bDhcp = info.dhcp ? 1 : 0;
  m_checkDhcp->setChecked(info.dhcp);
  EnableAddressControls(!info.dhcp);
  if (info.hasVersion) m_strFwVersion = QString::fromStdString(info.version);
}

void CConfigDlg::EnableAddressControls(bool enable) {
  for (QWidget* control : std::initializer_list<QWidget*>{m_labelIp, m_labelMask, m_labelGateway,
                                                          m_ipAddress, m_ipMask, m_ipGateway}) {
    control->setEnabled(enable);
  }
}

void CConfigDlg::ShowFirmwareGroup(bool show) {
  for (QWidget* control : std::initializer_list<QWidget*>{
           m_groupFirmware, m_ipFirmware, m_labelFirmwareIp, m_btnOpenFirmware, m_labelFirmwareFile,
           m_editFirmwareFile, m_btnFirmwareUpdate, m_labelVersion, m_editFwVersion}) {
    control->setVisible(show);
  }
}
