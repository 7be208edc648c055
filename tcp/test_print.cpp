// The Test print button: a page with the selected printer's network settings goes to its
// print port (the Port field) at the address in the IP Address field, in the window's
// language. A configuration row prints its record's values, which the fields then show.
#include "app/config_dlg.h"
#include "common/byte_reader.h"
#include "common/code_page.h"
#include "common/mac_text.h"
#include "operations/text_message.h"

void CConfigDlg::TestPrint() {
  if (!UpdateData(true)) return;
  std::string address;
  if (!ReadPrinterAddress(m_ipAddress, &address)) return;
  const int port = static_cast<int>(m_nPort);
  TestPageValues values;
  if (!TestPageValuesOfSelection(&values)) {
    UpdateData(false);
    return;
  }
  const std::vector<std::string> lines =
      BuildTestPageLines(values, m_nCodePage == CODE_PAGE_KOREAN);
  int connected = TCP_ERR_CONNECT;
  bool whole = false;
  RunBlocking([&] {
    connected = m_link.ConnectWithTimeout(address.c_str(), port);
    if (connected == TCP_OK) whole = SendTestPage(&m_link, lines);
  });
  if (connected != TCP_OK) ShowConnectError(connected);
  if (connected == TCP_OK && !whole) return;  // the page stopped short: nothing more
  UpdateData(false);
}

bool CConfigDlg::TestPageValuesOfSelection(TestPageValues* values) {
  const int row = m_listResults->currentRow();
  if (row < 0 || static_cast<size_t>(row) >= m_rowMap.size()) return false;
  const RowEntry& entry = m_rowMap[static_cast<size_t>(row)];
  if (entry.kind == ROW_CONFIG) {
    const PrinterInfo& record = m_pPrinters[static_cast<size_t>(entry.index)];
    m_ipAddress->SetAddress(NetworkToHost32(record.ipAddress));
    m_ipMask->SetAddress(NetworkToHost32(record.subnetMask));
    m_ipGateway->SetAddress(NetworkToHost32(record.gateway));
    m_nPort = GetPrintPort(record);
    values->macText = FormatMac(record.mac);
  } else {
    m_strSelEntry = m_listReplies->item(entry.index)->text();
    values->macText = DecodeTextInfo(m_strSelEntry.toLatin1().toStdString()).macText;
  }
  m_ipAddress->GetAddress(&values->ipAddress);
  m_ipMask->GetAddress(&values->subnetMask);
  m_ipGateway->GetAddress(&values->gateway);
  values->port = m_nPort;
  return true;
}
