#include "app/config_app.h"

#include "app/config_dlg.h"
#include "app/image_plugin_warm_up.h"
#include "app/message_box.h"
#include "app/texts.h"
#include "common/socket_port.h"

int CConfigApp::InitInstance() {
  int error = 0;
  if (!SocketStartup(1, 1, &error)) {
    ShowMessageBox(nullptr, QString::fromUtf8(texts::SOCKET_START_FAILED), QMessageBox::Warning);
    return 1;
  }
  {
    const WarmUp imagePlugins = StartImagePluginWarmUp();
    CConfigDlg dialog;
    dialog.exec();
  }
  SocketCleanup();
  return 0;
}
