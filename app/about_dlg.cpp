#include "app/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/dialog_units.h"
#include "app/texts.h"
#include "controls/icon_resources.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("100_about"));
  setWindowTitle(QString::fromUtf8(texts::ABOUT_CAPTION));
  setFont(QFont(QStringLiteral("Gulim"), 9));
  const DialogUnits du(font());
  setFixedSize(du.ToPixels(0, 0, 235, 55).size());

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("about_icon"));
  icon->setPixmap(LoadIconResource(IDR_MAINFRAME).pixmap(32, 32));
  icon->move(du.ToPixels(11, 17, 0, 0).topLeft());
  icon->resize(32, 32);
  auto* version = new QLabel(QString::fromUtf8(texts::ABOUT_VERSION), this);
  version->setObjectName(QStringLiteral("about_version"));
  version->setGeometry(du.ToPixels(40, 15, 119, 8));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("1_ok"));
  ok->setGeometry(du.ToPixels(178, 7, 50, 40));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
