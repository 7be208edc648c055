// CConfigDlg: the main window. It owns the state every operation works on (the printer
// table, the result rows, the settings being edited, the broadcast socket) and lays out
// the controls of the configuration dialog in English or Korean. Its handlers are defined
// beside their subsystems: the search and the result list, the selection, the search by
// MAC address, saving and the firmware file in operations/; the firmware download and the
// test print in tcp/. User-interface thread only.
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
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/hover_button.h"
#include "controls/ip_address_field.h"
#include "controls/xp_group_box.h"
#include "operations/row_map.h"
#include "protocol/exchange.h"
#include "protocol/settings_edit.h"
#include "tcp/test_page.h"

constexpr int IDM_ABOUTBOX = 16;
constexpr int MAC_PARTS = 6;       // the six bytes of a hardware address, one edit each
constexpr int MAC_PART_CHARS = 2;  // characters of one part

class CBroadcastSocket;
struct TextInfo;

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

  // The members of the data exchange.
  QString m_strMac[MAC_PARTS];
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
  // The socket hands its replies to OnTextInfo and OnTextSetAck and records their sender.
  friend class CBroadcastSocket;

  void CreateControls();
  void OnInitDialog();
  void ApplyKoreanCaptions();
  // Accessible names, in the window's language, for controls without a caption.
  void NameUncaptionedControls();
  void EmptyList(QListWidget* list);
  // Resets the socket's texts, loads the controls, then closes and deletes the socket.
  void ReleaseSocket();
  void FailValidation(QLineEdit* control, const QString& message);
  // Runs a blocking network call as RunBlockingCall does, with the wait cursor shown; a
  // close asked for meanwhile takes effect once the handler has returned, as if it had
  // waited in the queue.
  void RunBlocking(const std::function<void()>& work);

  // Search and result list (operations/search.cpp).
  void StartSearch();
  int RunConfigSearch();
  void AddTextRow();
  // Empties the row table, the row counters, the result list and the reply store.
  void ResetRows();
  // Shows a modeless status dialog in its searching mode; it ends itself.
  void ShowSearchStatus();
  void AppendResultRow(const QString& text, const RowEntry& entry);
  // Selects a row of the result list as the operations do: without a selection-changed
  // notification.
  void SelectResultRow(int row);

  // Selection and display (operations/selection.cpp).
  void SelectionChanged();
  void ShowTextRow();
  void DhcpToggled();
  // The fields that a text reply and its row share: addresses, port, DHCP, version.
  void ShowReplyFields(const TextInfo& info);
  // Labels 1029-1031 and address fields 1023-1025.
  void EnableAddressControls(bool enable);
  void ShowFirmwareGroup(bool show);

  // Search by MAC address (operations/mac_search.cpp).
  void MacSearchToggled();
  void MacPartChanged(int part);
  void ReadByMac();

  // Save (operations/save_settings.cpp).
  void SaveSettings();
  void SaveTextRow(int row);
  void SaveConfigRow(int row);
  // WritePrinterSettings on a copy of `record`, run as RunBlocking runs it; the record then
  // holds what the exchange left in it. Returns the exchange's result with its error code.
  int WriteRecord(PrinterInfo* record, const uint8_t password[PASSWORD_SIZE], int* error);
  // Runs a status dialog in `mode` (MODE_SAVING, MODE_FIRMWARE_DONE) until the user closes
  // it.
  void RunModalStatus(int mode);
  // The messages of a failed write, one after the other.
  void ShowWriteFailure(int error);
  // After a failed write: the record's IP address and subnet mask back in their fields.
  void ShowRecordAddresses(const PrinterInfo& record);

  // The firmware file (operations/firmware_file.cpp).
  void ChooseFirmwareFile();
  void RefuseFirmwareFile();

  // The firmware download and the test print (tcp/).
  void DownloadFirmware();
  void TestPrint();
  // The page's values for the selected row (for a configuration row, from its record, which
  // the address fields and the port then show too). False when no row is selected.
  bool TestPageValuesOfSelection(TestPageValues* values);
  // The dotted address of an IP address field, or false after "Please Type the IP Address"
  // when the field is blank.
  bool ReadPrinterAddress(const CIpAddressField* field, std::string* address);
  // The message of a failed connect, in the window's language.
  void ShowConnectError(int code);

  // The text-protocol socket (operations/broadcast_socket.cpp).
  void BroadcastTextSearch();
  // A TXT_INFO reply that passed the socket's checks: stored, listed and shown.
  void OnTextInfo(const QString& reply);
  // A TXT_SET_ACK: the save is confirmed, and the saved printer's row is replaced by one
  // built from the edited copy of its reply.
  void OnTextSetAck();
  void ReportSocketFailure(const char* format, int error);

  // State the operations share.
  QString m_strEntryText;
  QString m_strSelEntry;
  QString m_strSendData;
  QString m_strRemoteAddr = QStringLiteral("255.255.255.255");
  QString m_strFirmwareIp;
  std::unique_ptr<CBroadcastSocket> m_pSocket;
  RowMap m_rowMap;
  std::unique_ptr<PrinterInfo[]> m_pPrinters;
  CTcpLink m_link;
  std::vector<uint8_t> m_fileImage;  // the accepted firmware file as read; its size is its length
  std::string m_szFilePath;          // that file's path, in the file system's encoding
  bool m_bBlocked = false;           // a handler waits in RunBlocking
  bool m_bCloseDeferred = false;     // a close came meanwhile

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
  QLineEdit* m_editMac[MAC_PARTS];
  CXPGroupBox* m_groupInfo;
  QLabel* m_labelIp;
  QLabel* m_labelMask;
  QLabel* m_labelGateway;
  QCheckBox* m_checkDhcp;
  QListWidget* m_listReplies;
  QComboBox* m_comboSerial[5];  // 1033 baud, 1034 data bits, 1035 parity, 1036 stop bits, 1037 flow
  QLabel* m_labelSerial[5];
  CXPGroupBox* m_groupFirmware;
  QLineEdit* m_editFirmwareFile;
  CHoverButton* m_btnFirmwareUpdate;
  QPlainTextEdit* m_editTrace;
  CHoverButton* m_btnOpenFirmware;
  QLabel* m_labelFirmwareIp;
  QLabel* m_labelFirmwareFile;
  QLabel* m_labelVersion;
  QLineEdit* m_editFwVersion;
  CHoverButton* m_btnRead;
  CXPGroupBox* m_groupSearch;
  QCheckBox* m_checkSearchByMac;
  CHoverButton* m_btnTestPrint;
};
