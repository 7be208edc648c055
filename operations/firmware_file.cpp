// The Open Firmware button: the user chooses an update file, whose path must name the
// family ("QNEther_v") and "bin"; it is read whole, once, and kept with its path for the
// Firmware Update button, which it enables. A file larger than a download can carry is
// refused here, where the user chooses it.
#include <QFile>
#include <algorithm>

#include "app/config_dlg.h"
#include "app/file_dialog.h"
#include "app/message_box.h"
#include "operations/operation_texts.h"
#include "tcp/download_header.h"
#include "tcp/firmware_download.h"
#include "tcp/texts.h"

namespace {

// The whole file in one read; false when it cannot be read, is not a plain file, or holds
// more than FILE_BODY_MAX bytes.
bool ReadFirmwareImage(const QString& path, std::vector<uint8_t>* image) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.isSequential()) return false;
  const qint64 length = file.size();
  if (length > static_cast<qint64>(FILE_BODY_MAX)) return false;
  image->resize(static_cast<size_t>(length));
  return file.read(reinterpret_cast<char*>(image->data()), length) == length;
}

}  // namespace

void CConfigDlg::ChooseFirmwareFile() {
  UpdateData(true);  // a validation failure has shown its message; the choice goes on
  const QString path = ShowOpenFileDialog(this, {QString::fromLatin1(texts::FIRMWARE_FILTER_BINARY),
                                                 QString::fromLatin1(texts::FIRMWARE_FILTER_ALL)});
  if (path.isEmpty()) return;
  m_strFirmwareFile = path;
  const std::string encodedPath = QFile::encodeName(path).toStdString();
  if (!IsFirmwareFileName(encodedPath)) {
    RefuseFirmwareFile();
    return;
  }
  UpdateData(false);
  UpdateData(true);
  std::vector<uint8_t> image;
  if (!ReadFirmwareImage(path, &image)) {
    RefuseFirmwareFile();
    return;
  }
  const auto textLength = std::find(image.begin(), image.end(), 0) - image.begin();
  m_strTrace = QString::fromLatin1(texts::FIRMWARE_TRACE).arg(textLength).arg(image.size());
  m_fileImage = std::move(image);
  m_szFilePath = encodedPath;
  m_btnFirmwareUpdate->setEnabled(true);
  UpdateData(false);
}

void CConfigDlg::RefuseFirmwareFile() {
  ShowMessageBox(this, QString::fromLatin1(TEXT_CANNOT_OPEN_FILE.In(false)), QMessageBox::Critical,
                 QString::fromLatin1(texts::FIRMWARE_FILE_REFUSED_CAPTION));
}
