// CAboutDlg: the modal about box with the program's icon and version. User-interface
// thread only.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};
