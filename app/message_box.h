// The one seam through which the window shows every message box, so that tests can read
// each message and answer it in advance. User-interface thread only.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

struct MessageRequest {
  QWidget* parent;
  QString caption;
  QString text;
  QMessageBox::Icon icon;
};

// Shows a message with an OK button and waits for it. The caption defaults to the
// program's name.
void ShowMessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                    const QString& caption = QString());

// Replaces the message box by `handler` (for tests); an empty handler restores it.
void SetMessageBoxHandler(std::function<void(const MessageRequest&)> handler);
