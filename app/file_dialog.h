// The one seam through which the window asks the user for a file to open, so that tests
// can give the path the user "chose". User-interface thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

struct FileDialogRequest {
  QWidget* parent;
  QStringList nameFilters;  // "Caption (*.ext)", the first one selected
};

// Shows the file-open dialog for one existing file; returns its full path, or an empty text
// when the user cancelled.
QString ShowOpenFileDialog(QWidget* parent, const QStringList& nameFilters);

// Replaces the dialog by `handler` (for tests); an empty handler restores it.
void SetFileDialogHandler(std::function<QString(const FileDialogRequest&)> handler);
