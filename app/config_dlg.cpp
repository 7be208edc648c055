#include "app/config_dlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QValidator>

#include "app/about_dlg.h"
#include "app/blocking_call.h"
#include "app/dialog_units.h"
#include "app/message_box.h"
#include "app/status_words.h"
#include "app/texts.h"
#include "common/code_page.h"
#include "controls/icon_resources.h"
#include "operations/broadcast_socket.h"

namespace {

constexpr int DIALOG_WIDTH_DU = 327;
constexpr int DIALOG_HEIGHT_DU = 219;
const QColor GROUP_CAPTION_COLOR(16, 140, 231);

// The serial-settings lists: items and the item selected at initialisation.
struct SerialList {
  const char* name;
  BilingualText label;
  std::initializer_list<const char*> items;
  int selected;
};

const SerialList SERIAL_LISTS[5] = {
    {"1033_baud",
     texts::BAUD_LABEL,
     {"4800", "9600", "19200", "38400", "57600", "115200", "230400", "460800", "921600"},
     5},
    {"1034_data_bits", texts::DATA_BITS_LABEL, {"8", "9"}, 0},
    {"1035_parity", texts::PARITY_LABEL, {"None", "Odd", "Even"}, 0},
    {"1036_stop_bits", texts::STOP_BITS_LABEL, {"1", "2"}, 0},
    {"1037_flow", texts::FLOW_LABEL, {"None", "RTS/CTS"}, 1},
};

// Creates a control of the dialog at its place in dialog units.
template <typename Widget>
Widget* Place(QWidget* parent, const DialogUnits& units, const char* name, int x, int y, int width,
              int height) {
  auto* widget = new Widget(parent);
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(units.ToPixels(x, y, width, height));
  return widget;
}

QLabel* PlaceLabel(QWidget* parent, const DialogUnits& units, const char* name,
                   const BilingualText& text, int x, int y, int width, int height,
                   Qt::Alignment alignment = Qt::AlignLeft) {
  auto* label = Place<QLabel>(parent, units, name, x, y, width, height);
  label->setText(QString::fromUtf8(text.english));
  label->setAlignment(alignment | Qt::AlignTop);
  return label;
}

CHoverButton* PlaceButton(QWidget* parent, const DialogUnits& units, const char* name,
                          const BilingualText& text, int x, int y, int width, int height) {
  auto* button = Place<CHoverButton>(parent, units, name, x, y, width, height);
  button->setText(QString::fromUtf8(text.english));
  return button;
}

CXPGroupBox* PlaceGroup(QWidget* parent, const DialogUnits& units, const char* name,
                        const BilingualText& text, int x, int y, int width, int height) {
  auto* group = Place<CXPGroupBox>(parent, units, name, x, y, width, height);
  group->setTitle(QString::fromUtf8(text.english));
  // A frame drawn behind the controls it surrounds, never in the way of the mouse.
  group->setAttribute(Qt::WA_TransparentForMouseEvents);
  return group;
}

// A part of a hardware address as the user types it: at most two hexadecimal digits,
// letters turned to upper case. Text that the program sets is not checked here; the data
// exchange validates it.
class MacPartValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& /*position*/) const override {
    if (input.size() > MAC_PART_CHARS) return Invalid;
    for (const QChar c : input) {
      if (!QStringLiteral("0123456789abcdefABCDEF").contains(c)) return Invalid;
    }
    input = input.toUpper();
    return Acceptable;
  }
};

// Sets a text only when it differs, so that a load of unchanged members neither moves the
// cursor nor reports a change.
void SetTextIfChanged(QLineEdit* edit, const QString& text) {
  if (edit->text() != text) edit->setText(text);
}

// A check box's state as the members hold it: 0 unchecked, 1 checked, 2 indeterminate
// (Qt numbers checked 2 and indeterminate 1).
int CheckValue(const QCheckBox* box) {
  switch (box->checkState()) {
    case Qt::Checked:
      return 1;
    case Qt::PartiallyChecked:
      return 2;
    default:
      return 0;
  }
}

void SetCheckValue(QCheckBox* box, int value) {
  box->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

// While it lives, the application's font is `font`; then the one before comes back. Qt's
// line edits lay out their empty text once in the application's font before their own
// font reaches them. Built under the window's font, that first layout reuses the font the
// window loads anyway, instead of loading and matching the application's, which nothing in
// the window shows (the status dialog and the message boxes load it when they first open).
class ApplicationFontWhileBuilding {
 public:
  explicit ApplicationFontWhileBuilding(const QFont& font) : m_previous(QApplication::font()) {
    QApplication::setFont(font);
  }
  ~ApplicationFontWhileBuilding() { QApplication::setFont(m_previous); }
  ApplicationFontWhileBuilding(const ApplicationFontWhileBuilding&) = delete;
  ApplicationFontWhileBuilding& operator=(const ApplicationFontWhileBuilding&) = delete;

 private:
  const QFont m_previous;
};

bool IsEnterOrEscape(const QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease &&
      event->type() != QEvent::ShortcutOverride) {
    return false;
  }
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

CConfigDlg::CConfigDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_pPrinters(std::make_unique<PrinterInfo[]>(MAX_PRINTERS)) {
  m_strMac[0] = QStringLiteral("44");
  m_strMac[1] = QStringLiteral("A8");
  m_strMac[2] = QStringLiteral("C2");
  m_hIcon = LoadIconResource(IDR_MAINFRAME);
  setObjectName(QStringLiteral("102_config"));
  setFont(QFont(QStringLiteral("Arial"), 10));
  {
    const ApplicationFontWhileBuilding buildFont(font());
    CreateControls();
    OnInitDialog();
  }
  qApp->installEventFilter(this);
}

// Destruction closes and deletes the broadcast socket, if there is one.
CConfigDlg::~CConfigDlg() = default;

void CConfigDlg::CreateControls() {
  const DialogUnits du(font());
  setFixedSize(du.ToPixels(0, 0, DIALOG_WIDTH_DU, DIALOG_HEIGHT_DU).size());
  setWindowTitle(QString::fromUtf8(texts::MAIN_CAPTION.english));

  m_btnSearch = PlaceButton(this, du, "1003_search", texts::SEARCH, 223, 16, 92, 22);
  m_listResults = Place<QListWidget>(this, du, "1017_results", 8, 90, 77, 94);
  m_ipAddress = Place<CIpAddressField>(this, du, "1023_ip", 96, 84, 100, 11);
  m_ipMask = Place<CIpAddressField>(this, du, "1024_mask", 96, 109, 100, 11);
  m_ipGateway = Place<CIpAddressField>(this, du, "1025_gateway", 96, 135, 100, 11);
  m_editPort = Place<QLineEdit>(this, du, "1021_port", 121, 150, 40, 12);
  m_ipFirmware = Place<CIpAddressField>(this, du, "1044_firmware_ip", 241, 79, 76, 11);
  m_btnSave = PlaceButton(this, du, "1026_save", texts::SAVE, 8, 188, 78, 19);
  m_btnExit = PlaceButton(this, du, "1005_exit", texts::EXIT, 221, 188, 97, 19);
  for (int i = 0; i < MAC_PARTS; ++i) {
    const QByteArray name = "101" + QByteArray::number(i + 1) + "_mac" + QByteArray::number(i);
    m_editMac[i] = Place<QLineEdit>(this, du, name.constData(), 14 + 15 * i, 20, 14, 13);
    m_editMac[i]->setAlignment(Qt::AlignCenter);
    m_editMac[i]->setValidator(new MacPartValidator(m_editMac[i]));
    connect(m_editMac[i], &QLineEdit::textEdited, this, [this, i] { MacPartChanged(i); });
  }
  m_groupInfo = PlaceGroup(this, du, "1054_info_group", texts::INFO_GROUP, 3, 61, 208, 151);
  m_labelIp = PlaceLabel(this, du, "1029_ip_label", texts::IP_LABEL, 96, 74, 46, 8);
  m_labelMask = PlaceLabel(this, du, "1030_mask_label", texts::MASK_LABEL, 96, 99, 62, 8);
  m_labelGateway = PlaceLabel(this, du, "1031_gateway_label", texts::GATEWAY_LABEL, 96, 124, 37, 8);
  QLabel* labelPort = PlaceLabel(this, du, "none_port_label", texts::PORT_LABEL, 96, 151, 20, 8);
  m_checkDhcp = Place<QCheckBox>(this, du, "1028_dhcp", 88, 170, 116, 10);
  m_checkDhcp->setText(QString::fromUtf8(texts::DHCP.english));
  m_listReplies = Place<QListWidget>(this, du, "1032_replies", 222, 172, 72, 12);
  m_listReplies->hide();
  for (int i = 0; i < 5; ++i) {
    m_comboSerial[i] = Place<QComboBox>(this, du, SERIAL_LISTS[i].name, 67, 132 + 16 * i, 48, 12);
    m_comboSerial[i]->hide();
    m_comboSerial[i]->setEnabled(false);
  }
  for (int i = 0; i < 5; ++i) {
    const QByteArray name = QByteArray("none_") + (SERIAL_LISTS[i].name + 5) + "_label";
    m_labelSerial[i] =
        PlaceLabel(this, du, name.constData(), SERIAL_LISTS[i].label, 10, 136 + 16 * i, 50, 8);
    m_labelSerial[i]->hide();
    m_labelSerial[i]->setEnabled(false);
  }
  m_groupFirmware = PlaceGroup(this, du, "1048_firmware_group", texts::FW_GROUP, 215, 61, 108, 117);
  m_editFirmwareFile = Place<QLineEdit>(this, du, "1038_firmware_file", 217, 133, 100, 12);
  m_editFirmwareFile->setReadOnly(true);
  m_btnFirmwareUpdate =
      PlaceButton(this, du, "1039_firmware_update", texts::FW_UPDATE, 220, 150, 98, 19);
  m_editTrace = Place<QPlainTextEdit>(this, du, "1040_trace", 211, 185, 103, 12);
  m_editTrace->hide();
  m_editTrace->setEnabled(false);
  m_btnOpenFirmware = PlaceButton(this, du, "1041_open_firmware", texts::OPEN_FW, 219, 100, 99, 19);
  m_labelFirmwareIp = PlaceLabel(this, du, "1049_firmware_ip_label", texts::FW_IP_LABEL, 220, 80,
                                 17, 8, Qt::AlignRight);
  m_labelFirmwareFile =
      PlaceLabel(this, du, "1051_firmware_file_label", texts::FW_FILE_LABEL, 220, 122, 96, 8);
  m_labelVersion = PlaceLabel(this, du, "1052_version_label", texts::VERSION_LABEL, 9, 75, 49, 8,
                              Qt::AlignRight);
  m_editFwVersion = Place<QLineEdit>(this, du, "1046_version", 61, 74, 24, 12);
  m_editFwVersion->setAlignment(Qt::AlignCenter);
  m_editFwVersion->setEnabled(false);
  m_btnRead = PlaceButton(this, du, "1047_read", texts::READ, 126, 16, 90, 22);
  m_groupSearch = PlaceGroup(this, du, "1055_search_group", texts::SEARCH_GROUP, 3, 6, 320, 50);
  m_checkSearchByMac = Place<QCheckBox>(this, du, "1057_search_by_mac", 14, 41, 142, 8);
  m_checkSearchByMac->setText(QString::fromUtf8(texts::SEARCH_BY_MAC.english));
  auto* plainGroup = Place<QGroupBox>(this, du, "none_plain_group", 210, 178, 113, 34);
  plainGroup->setAttribute(Qt::WA_TransparentForMouseEvents);
  m_btnTestPrint = PlaceButton(this, du, "1027_test_print", texts::TEST_PRINT, 102, 188, 95, 19);

  for (QGroupBox* group :
       {static_cast<QGroupBox*>(m_groupInfo), static_cast<QGroupBox*>(m_groupFirmware),
        static_cast<QGroupBox*>(m_groupSearch), plainGroup}) {
    group->lower();  // frames paint behind the controls inside them
  }
  m_btnSearch->PreSubclassWindow(CHoverButton::TYPE_DEFAULT_PUSH);
  for (CHoverButton* button :
       {m_btnSave, m_btnExit, m_btnFirmwareUpdate, m_btnOpenFirmware, m_btnRead, m_btnTestPrint}) {
    button->PreSubclassWindow(CHoverButton::TYPE_PUSH);
  }
  connect(m_btnExit, &QPushButton::clicked, this, &CConfigDlg::OnCancel);
  connect(m_btnSearch, &QPushButton::clicked, this, &CConfigDlg::StartSearch);
  connect(m_btnRead, &QPushButton::clicked, this, &CConfigDlg::ReadByMac);
  connect(m_btnSave, &QPushButton::clicked, this, &CConfigDlg::SaveSettings);
  connect(m_btnOpenFirmware, &QPushButton::clicked, this, &CConfigDlg::ChooseFirmwareFile);
  connect(m_btnFirmwareUpdate, &QPushButton::clicked, this, &CConfigDlg::DownloadFirmware);
  connect(m_btnTestPrint, &QPushButton::clicked, this, &CConfigDlg::TestPrint);
  connect(m_checkDhcp, &QCheckBox::clicked, this, &CConfigDlg::DhcpToggled);
  connect(m_checkSearchByMac, &QCheckBox::clicked, this, &CConfigDlg::MacSearchToggled);
  // The operations select rows with the notification blocked, so this is the user's choice.
  connect(m_listResults, &QListWidget::currentRowChanged, this, &CConfigDlg::SelectionChanged);

  // Names for screen readers where a control has no caption of its own.
  const std::pair<QLabel*, QWidget*> buddies[] = {
      {m_labelIp, m_ipAddress},          {m_labelMask, m_ipMask},
      {m_labelGateway, m_ipGateway},     {labelPort, m_editPort},
      {m_labelFirmwareIp, m_ipFirmware}, {m_labelFirmwareFile, m_editFirmwareFile},
      {m_labelVersion, m_editFwVersion}};
  for (const auto& [label, control] : buddies) label->setBuddy(control);

  auto* about = new QAction(QString::fromUtf8(texts::ABOUT_MENU_ITEM), this);
  about->setObjectName(QStringLiteral("about_action"));
  connect(about, &QAction::triggered, this, [this] { OnSysCommand(IDM_ABOUTBOX); });
  addAction(about);
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CConfigDlg::OnInitDialog() {
  DoDataExchange(false);
  setWindowIcon(m_hIcon);  // the window's icon, also while minimised
  for (CIpAddressField* field : {m_ipAddress, m_ipMask, m_ipGateway, m_ipFirmware})
    field->ClearAddress();
  EmptyList(m_listResults);
  EmptyList(m_listReplies);
  for (int i = 0; i < 5; ++i) {
    for (const char* item : SERIAL_LISTS[i].items)
      m_comboSerial[i]->addItem(QString::fromLatin1(item));
  }
  for (int i = 0; i < 5; ++i) m_comboSerial[i]->setCurrentIndex(SERIAL_LISTS[i].selected);
  m_rowMap.clear();
  g_nAsyncRows = g_nSyncRows = g_nTotalRows = 0;

  for (QLineEdit* edit : m_editMac) edit->setEnabled(false);
  for (QWidget* control : std::initializer_list<QWidget*>{
           m_btnRead, m_btnFirmwareUpdate, m_ipAddress, m_ipMask, m_ipGateway, m_editPort}) {
    control->setEnabled(false);
  }
  m_checkDhcp->setEnabled(true);
  m_checkDhcp->hide();
  for (QWidget* control : std::initializer_list<QWidget*>{m_ipFirmware, m_btnOpenFirmware,
                                                          m_btnSave, m_btnTestPrint}) {
    control->setEnabled(false);
  }

  m_nCodePage = SystemCodePage();
  if (m_nCodePage == CODE_PAGE_KOREAN) ApplyKoreanCaptions();
  NameUncaptionedControls();

  const int testPrintIcon =
      m_nCodePage == CODE_PAGE_KOREAN ? IDI_TEST_PRINT_KOREAN : IDI_TEST_PRINT;
  const std::pair<CHoverButton*, int> buttons[] = {{m_btnTestPrint, testPrintIcon},
                                                   {m_btnRead, IDI_READ},
                                                   {m_btnSearch, IDI_SEARCH},
                                                   {m_btnSave, IDI_SAVE},
                                                   {m_btnOpenFirmware, IDI_OPEN_FIRMWARE},
                                                   {m_btnFirmwareUpdate, IDI_FIRMWARE_UPDATE},
                                                   {m_btnExit, IDI_EXIT}};
  for (const auto& [button, icon] : buttons) {
    button->setFont(font());
    button->SetIcon(icon, 32, 32);
    button->SetFlat(false, true);
  }
  for (CXPGroupBox* group : {m_groupSearch, m_groupInfo, m_groupFirmware}) {
    group->SetCaptionTextColor(GROUP_CAPTION_COLOR).SetFontBold(true);
    if (group != m_groupSearch) group->SetCaptionAlignment(CXPGroupBox::ALIGN_CENTER);
  }
  m_btnSearch->setFocus();
}

void CConfigDlg::ApplyKoreanCaptions() {
  const auto korean = [](const BilingualText& text) { return QString::fromUtf8(text.korean); };
  setWindowTitle(korean(texts::MAIN_CAPTION));
  m_btnRead->setText(korean(texts::READ));
  m_btnSearch->setText(korean(texts::SEARCH));
  m_btnSave->setText(korean(texts::SAVE));
  m_btnOpenFirmware->setText(korean(texts::OPEN_FW));
  m_btnFirmwareUpdate->setText(korean(texts::FW_UPDATE));
  m_btnTestPrint->setText(korean(texts::TEST_PRINT));
  m_groupSearch->setTitle(korean(texts::SEARCH_GROUP));
  m_groupInfo->setTitle(korean(texts::INFO_GROUP));
  m_groupFirmware->setTitle(korean(texts::FW_GROUP));
  m_checkSearchByMac->setText(korean(texts::SEARCH_BY_MAC));
  m_checkDhcp->setText(korean(texts::DHCP));
  m_labelFirmwareFile->setText(korean(texts::FW_FILE_LABEL));
  m_btnExit->setText(korean(texts::EXIT));
}

void CConfigDlg::NameUncaptionedControls() {
  m_listResults->setAccessibleName(TextFor(texts::RESULTS_NAME, m_nCodePage));
  for (int i = 0; i < MAC_PARTS; ++i) {
    m_editMac[i]->setAccessibleName(TextFor(texts::MAC_PART_NAME, m_nCodePage).arg(i + 1));
  }
  const std::pair<const QLabel*, CIpAddressField*> fields[] = {{m_labelIp, m_ipAddress},
                                                               {m_labelMask, m_ipMask},
                                                               {m_labelGateway, m_ipGateway},
                                                               {m_labelFirmwareIp, m_ipFirmware}};
  for (const auto& [label, field] : fields) {
    field->SetAccessibleName(label->text().remove(QLatin1Char(':')).trimmed());
  }
}

bool CConfigDlg::DoDataExchange(bool save) {
  for (int i = 0; i < MAC_PARTS; ++i) {
    if (!save) {
      SetTextIfChanged(m_editMac[i], m_strMac[i]);
      continue;
    }
    if (m_editMac[i]->text().size() > MAC_PART_CHARS) {
      FailValidation(m_editMac[i],
                     QString::fromUtf8(texts::VALIDATE_MAX_CHARS).arg(MAC_PART_CHARS));
      return false;
    }
    m_strMac[i] = m_editMac[i]->text();
  }
  if (save) {
    const QString port = m_editPort->text().trimmed();
    bool isNumber = !port.isEmpty();
    for (const QChar c : port) isNumber = isNumber && c.isDigit() && c.unicode() < 128;
    if (!isNumber) {
      FailValidation(m_editPort, QString::fromUtf8(texts::VALIDATE_POSITIVE_INTEGER));
      return false;
    }
    // More digits than a port can have is out of range, however large.
    const unsigned long long value = port.size() > 9 ? ~0ull : port.toULongLong();
    if (value < MIN_PRINT_PORT || value > MAX_PRINT_PORT) {
      FailValidation(
          m_editPort,
          QString::fromUtf8(texts::VALIDATE_RANGE).arg(MIN_PRINT_PORT).arg(MAX_PRINT_PORT));
      return false;
    }
    m_nPort = static_cast<uint32_t>(value);
    m_bDhcp = CheckValue(m_checkDhcp);
  } else {
    SetTextIfChanged(m_editPort, QString::number(m_nPort));
    if (m_bDhcp < 0 || m_bDhcp > 2) m_bDhcp = 0;
    SetCheckValue(m_checkDhcp, m_bDhcp);
  }
  if (save) {
    m_strFirmwareFile = m_editFirmwareFile->text();
    m_strTrace = m_editTrace->toPlainText();
    m_strFwVersion = m_editFwVersion->text();
    m_bSearchByMac = CheckValue(m_checkSearchByMac);
  } else {
    SetTextIfChanged(m_editFirmwareFile, m_strFirmwareFile);
    // The trace may hold a whole firmware image as text, which takes long to lay out.
    if (m_editTrace->toPlainText() != m_strTrace) m_editTrace->setPlainText(m_strTrace);
    SetTextIfChanged(m_editFwVersion, m_strFwVersion);
    SetCheckValue(m_checkSearchByMac, m_bSearchByMac);
  }
  return true;
}

void CConfigDlg::FailValidation(QLineEdit* control, const QString& message) {
  ShowMessageBox(this, message, QMessageBox::Warning);
  control->setFocus();
  control->selectAll();
}

void CConfigDlg::EmptyList(QListWidget* list) {
  const QSignalBlocker blocker(list);  // emptying is no selection by the user
  for (int row = list->count() - 1; row >= 0; --row) delete list->takeItem(row);
}

void CConfigDlg::ReleaseSocket() {
  m_strSelEntry.clear();
  m_strSendData.clear();
  m_strRemoteAddr = QStringLiteral("255.255.255.255");
  UpdateData(false);
  m_pSocket->Close();
  m_pSocket.reset();
  m_bDhcp = 0;  // the check box keeps its state until the next load
}

void CConfigDlg::CloseBroadcastSocket() {
  if (m_pSocket == nullptr) return;
  ReleaseSocket();
  EmptyList(m_listResults);
  EmptyList(m_listReplies);
  m_rowMap.clear();  // the row table describes the list's rows, and there are none
}

void CConfigDlg::OnCancel() {
  if (m_pSocket != nullptr) ReleaseSocket();  // the result lists stay
  if (UpdateData(true)) accept();
}

void CConfigDlg::OnSysCommand(int command) {
  if ((command & 0xFFF0) != IDM_ABOUTBOX) return;
  CAboutDlg about(this);
  about.exec();
}

void CConfigDlg::closeEvent(QCloseEvent* event) {
  event->ignore();  // OnCancel ends the dialog itself when the save exchange succeeds
  if (m_bBlocked) {
    m_bCloseDeferred = true;
    return;
  }
  OnCancel();
}

void CConfigDlg::RunBlocking(const std::function<void()>& work) {
  m_bBlocked = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);  // the window works: no input is taken
  RunBlockingCall(work);
  QApplication::restoreOverrideCursor();
  m_bBlocked = false;
  // Replies that came meanwhile are read once the handler has returned.
  if (m_pSocket) {
    QMetaObject::invokeMethod(m_pSocket.get(), &CBroadcastSocket::OnReceive, Qt::QueuedConnection);
  }
  if (m_bCloseDeferred) {
    m_bCloseDeferred = false;
    QMetaObject::invokeMethod(this, &CConfigDlg::OnCancel, Qt::QueuedConnection);
  }
}

void CConfigDlg::reject() { OnCancel(); }

bool CConfigDlg::eventFilter(QObject* watched, QEvent* event) {
  // Enter and Escape do nothing anywhere in the window: not even the default button.
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget != nullptr && (widget == this || isAncestorOf(widget)) && IsEnterOrEscape(event)) {
    return true;
  }
  return QDialog::eventFilter(watched, event);
}
