#include "app/message_box.h"

#include <QCoreApplication>

namespace {

std::function<void(const MessageRequest&)>& Handler() {
  static std::function<void(const MessageRequest&)> handler;
  return handler;
}

}  // namespace

void ShowMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                    const QString& caption) {
  const MessageRequest request{
      parent, caption.isEmpty() ? QCoreApplication::applicationName() : caption, text, icon};
  if (Handler()) {
    Handler()(request);
    return;
  }
  QMessageBox box(request.icon, request.caption, request.text, QMessageBox::Ok, request.parent);
  box.exec();
}

void SetMessageBoxHandler(std::function<void(const MessageRequest&)> handler) {
  Handler() = std::move(handler);
}
