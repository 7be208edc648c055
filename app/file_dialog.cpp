#include "app/file_dialog.h"

#include <QFileDialog>

namespace {

std::function<QString(const FileDialogRequest&)>& Handler() {
  static std::function<QString(const FileDialogRequest&)> handler;
  return handler;
}

}  // namespace

QString ShowOpenFileDialog(QWidget* parent, const QStringList& nameFilters) {
  const FileDialogRequest request{parent, nameFilters};
  if (Handler()) return Handler()(request);
  QFileDialog dialog(request.parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(request.nameFilters);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().constFirst();
}

void SetFileDialogHandler(std::function<QString(const FileDialogRequest&)> handler) {
  Handler() = std::move(handler);
}
