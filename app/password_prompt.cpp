#include "app/password_prompt.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include "app/texts.h"

namespace {

std::function<std::optional<QByteArray>(const PasswordRequest&)>& Handler() {
  static std::function<std::optional<QByteArray>(const PasswordRequest&)> handler;
  return handler;
}

// Text whose UTF-8 encoding has at most a given number of bytes.
class Utf8LengthValidator : public QValidator {
 public:
  Utf8LengthValidator(int maxBytes, QObject* parent) : QValidator(parent), m_nMaxBytes(maxBytes) {}
  State validate(QString& input, int& /*position*/) const override {
    return input.toUtf8().size() <= m_nMaxBytes ? Acceptable : Invalid;
  }

 private:
  int m_nMaxBytes;
};

std::optional<QByteArray> RunPasswordDialog(const PasswordRequest& request) {
  QDialog dialog(request.parent);
  dialog.setObjectName(QStringLiteral("password_dialog"));
  dialog.setWindowTitle(request.caption);
  auto* label = new QLabel(request.prompt, &dialog);
  label->setWordWrap(true);
  auto* edit = new QLineEdit(&dialog);
  edit->setObjectName(QStringLiteral("password_edit"));
  edit->setEchoMode(QLineEdit::Password);
  edit->setValidator(new Utf8LengthValidator(request.maxBytes, edit));
  label->setBuddy(edit);
  edit->setAccessibleName(request.caption);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(false);
  QObject::connect(edit, &QLineEdit::textChanged, ok,
                   [ok](const QString& text) { ok->setEnabled(!text.isEmpty()); });
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(label);
  layout->addWidget(edit);
  layout->addWidget(buttons);
  edit->setFocus();
  if (dialog.exec() != QDialog::Accepted || edit->text().isEmpty()) return std::nullopt;
  return edit->text().toUtf8();
}

}  // namespace

std::optional<QByteArray> AskPassword(QWidget* parent, int codePage, int maxBytes) {
  const PasswordRequest request{parent, TextFor(texts::PASSWORD_CAPTION, codePage),
                                TextFor(texts::PASSWORD_PROMPT, codePage).arg(maxBytes), maxBytes};
  if (Handler()) return Handler()(request);
  return RunPasswordDialog(request);
}

void SetPasswordPromptHandler(
    std::function<std::optional<QByteArray>(const PasswordRequest&)> handler) {
  Handler() = std::move(handler);
}
