// The Firmware Update button: the file chosen with Open Firmware goes to TCP port 26600 of
// the address in the F/W Update group's own IP field; a printer that accepts it is
// announced in the status dialog, one that refuses it in a message.
#include <algorithm>

#include "app/config_dlg.h"
#include "app/message_box.h"
#include "app/progress_dlg.h"
#include "common/clock.h"
#include "tcp/firmware_download.h"
#include "tcp/texts.h"

void CConfigDlg::DownloadFirmware() {
  UpdateData(true);  // a validation failure has shown its message; the download goes on
  std::string address;
  if (!ReadPrinterAddress(m_ipFirmware, &address)) return;
  m_strFirmwareIp = QString::fromStdString(address);
  const unsigned seed = MillisecondClock();
  DownloadResult result{};
  RunBlocking([&] {
    result = RunFirmwareDownload(&m_link, address, m_fileImage, m_szFilePath, seed, nullptr);
  });
  if (result.outcome == DownloadOutcome::kNotConnected) {
    ShowConnectError(result.connectResult);
    return;
  }
  // The trace: the image read as text, up to its first zero byte.
  const auto text = std::find(m_fileImage.begin(), m_fileImage.end(), 0);
  m_strTrace = QString::fromLatin1(reinterpret_cast<const char*>(m_fileImage.data()),
                                   static_cast<int>(text - m_fileImage.begin())) +
               QLatin1Char('\n');
  switch (result.outcome) {
    case DownloadOutcome::kAccepted:
      RunModalStatus(MODE_FIRMWARE_DONE);
      break;
    case DownloadOutcome::kRefused:
      ShowMessageBox(this, QString::fromLatin1(TEXT_DOWNLOAD_REFUSED.In(false)),
                     QMessageBox::Warning);
      break;
    case DownloadOutcome::kNoAnswer:
    case DownloadOutcome::kNotConnected:
      break;
    case DownloadOutcome::kTooLarge:  // never: such a file is refused when it is chosen
      break;
  }
}
