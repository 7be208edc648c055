// CConfigDlg: the main window. It owns the state every operation works on (the printer
// table, the result rows, the settings being edited, the broadcast socket) and lays out
// the controls of the configuration dialog in English or Korean. User-interface thread
// only.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "app/broadcast_socket.h"
#include "controls/hover_button.h"
#include "controls/ip_address_field.h"
#include "controls/xp_group_box.h"
#include "protocol/exchange.h"
#include "protocol/settings_edit.h"

constexpr int MAX_ROWS = 200;
constexpr int IDM_ABOUTBOX = 16;

enum RowKind : uint8_t { ROW_TEXT = 0, ROW_CONFIG = 1 };

struct RowEntry {
  uint8_t kind;
  uint8_t dhcp;
  uint8_t index;
};

class CConfigDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CConfigDlg(QWidget* parent = nullptr);
  ~CConfigDlg() override;

  // Copies the members into the controls (save = false) or the controls into the members
  // with validation (save = true). A failed save shows its message, puts the focus on the
  // failing control with its text selected, and returns false.
  bool DoDataExchange(bool save);
  // UpdateData: the data exchange.
  bool UpdateData(bool save) { return DoDataExchange(save); }

  // Closes and deletes the broadcast socket, if there is one, and empties both lists.
  void CloseBroadcastSocket();
  // The cancel operation of Exit, the close box and Alt+F4: closes the socket, then ends
  // the dialog if the save exchange succeeds.
  void OnCancel();
  // The system command handler: IDM_ABOUTBOX runs the about box.
  void OnSysCommand(int command);

  // State the operations share.
  QString m_strEntryText;
  QString m_strSelEntry;
  QString m_strSendData;
  QString m_strRemoteAddr = QStringLiteral("255.255.255.255");
  QString m_strFirmwareIp;
  CBroadcastSocket* m_pSocket = nullptr;
  std::array<RowEntry, MAX_ROWS> m_rowMap{};
  std::unique_ptr<PrinterInfo[]> m_pPrinters;
  QString m_strMac[6];
  uint32_t m_nPort = 9100;
  int m_bDhcp = 0;
  QString m_strFirmwareFile;
  QString m_strTrace;
  QString m_strFwVersion;
  int m_bSearchByMac = 0;
  QIcon m_hIcon;
  int m_nCodePage = 0;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void OnInitDialog();
  void ApplyKoreanCaptions();
  void EmptyList(QListWidget* list);
  // Resets the socket's texts, loads the controls, then closes and deletes the socket.
  void ReleaseSocket();
  void FailValidation(QLineEdit* control, const QString& message);

  // Controls, in tab order.
  CHoverButton* m_btnSearch;
  QListWidget* m_listResults;
  CIpAddressField* m_ipAddress;
  CIpAddressField* m_ipMask;
  CIpAddressField* m_ipGateway;
  QLineEdit* m_editPort;
  CIpAddressField* m_ipFirmware;
  CHoverButton* m_btnSave;
  CHoverButton* m_btnExit;
  QLineEdit* m_editMac[6];
  CXPGroupBox* m_groupInfo;
  QCheckBox* m_checkDhcp;
  QListWidget* m_listReplies;
  QComboBox* m_comboSerial[5];  // 1033 baud, 1034 data bits, 1035 parity, 1036 stop bits, 1037 flow
  QLabel* m_labelSerial[5];
  CXPGroupBox* m_groupFirmware;
  QLineEdit* m_editFirmwareFile;
  CHoverButton* m_btnFirmwareUpdate;
  QPlainTextEdit* m_editTrace;
  CHoverButton* m_btnOpenFirmware;
  QLabel* m_labelFirmwareFile;
  QLineEdit* m_editFwVersion;
  CHoverButton* m_btnRead;
  CXPGroupBox* m_groupSearch;
  QCheckBox* m_checkSearchByMac;
  CHoverButton* m_btnTestPrint;
};
