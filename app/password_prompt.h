// The one seam through which the window asks the user for a printer's password: a masked
// entry, so that tests can give the password the user "typed". User-interface thread only.
#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

struct PasswordRequest {
  QWidget* parent;
  QString caption;
  QString prompt;
  int maxBytes;  // of the password's UTF-8 encoding
};

// Asks for a password of 1 to `maxBytes` bytes (UTF-8), in English or Korean by
// `codePage`. Returns the password, or nothing when the user cancelled.
std::optional<QByteArray> AskPassword(QWidget* parent, int codePage, int maxBytes);

// Replaces the prompt by `handler` (for tests), whose answer is returned as it is; an empty
// handler restores the prompt.
void SetPasswordPromptHandler(
    std::function<std::optional<QByteArray>(const PasswordRequest&)> handler);
