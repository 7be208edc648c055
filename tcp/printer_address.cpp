// The two steps that the firmware download and the test print share: the printer's address
// from an IP address field, and the message of a failed connect.
#include "app/config_dlg.h"
#include "app/message_box.h"
#include "common/byte_reader.h"
#include "common/code_page.h"
#include "common/ipv4_text.h"
#include "tcp/texts.h"

bool CConfigDlg::ReadPrinterAddress(const CIpAddressField* field, std::string* address) {
  if (field->IsBlank()) {
    ShowMessageBox(this, QString::fromLatin1(TEXT_TYPE_IP_ADDRESS.In(false)), QMessageBox::Warning);
    return false;
  }
  uint32_t value = 0;
  field->GetAddress(&value);  // an empty part reads as 0
  char text[16];
  FormatIpv4(HostToNetwork32(value), text);
  *address = text;
  return true;
}

void CConfigDlg::ShowConnectError(int code) {
  const bool korean = m_nCodePage == CODE_PAGE_KOREAN;
  ShowMessageBox(this, QString::fromUtf8(ConnectErrorText(code, korean)), QMessageBox::NoIcon,
                 QString::fromUtf8(ConnectErrorCaption(korean)));
}
