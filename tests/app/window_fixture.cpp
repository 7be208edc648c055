#include "tests/app/window_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QtTest>
#include <cstdlib>
#include <thread>

#include "app/status_words.h"
#include "common/byte_reader.h"
#include "common/socket_port.h"
#include "operations/text_message.h"

namespace {

constexpr int STATUS_POLL_MS = 20;

}  // namespace

void ResetWindowTestState() {
  unsetenv("LC_ALL");
  unsetenv("LC_CTYPE");
  setenv("LANG", "en_US.UTF-8", 1);
  g_bSearchDone = g_bSaveDone = 0;
  g_nAsyncRows = g_nSyncRows = g_nTotalRows = 0;
}

std::unique_ptr<SimPeer> StartPeer(const std::vector<std::string>& args) {
  std::string why;
  bool noLab = false;
  auto peer = SimPeer::Launch(args, &why, &noLab);
  if (!peer && noLab && !LabRequired()) {
    QTest::qSkip(why.c_str(), __FILE__, __LINE__);
  } else if (!peer) {
    QTest::qFail(why.c_str(), __FILE__, __LINE__);
  }
  return peer;
}

uint32_t ClientAddress() {
  uint32_t address = 0;
  (void)ParseIpv4(LAB_CLIENT_ADDRESS, &address);
  return address;
}

bool SendFromPrinter(const NetnsLab& lab, const std::string& datagram) {
  bool sent = false;
  std::thread([&] {
    if (!lab.EnterPrinter()) return;
    const SocketHandle socket = CreateUdpSocket();
    sent = SendDatagram(socket, reinterpret_cast<const uint8_t*>(datagram.data()), datagram.size(),
                        ClientAddress(), TEXT_PORT) == static_cast<long>(datagram.size());
    CloseSocket(socket);
  }).join();
  return sent;
}

std::string InfoReply(const std::string& macDigits, const char* ip) {
  uint32_t address = 0;
  (void)ParseIpv4(ip, &address);
  return BuildTextInfo(
      TextSettings{macDigits, NetworkToHost32(address), 0xFFFFFF00u, 0xC6336401u, 9100, false},
      "2.05", 7);
}

bool TextPortFree() {
  const SocketHandle socket = CreateUdpSocket();
  const bool bound = BindAnyAddress(socket, TEXT_PORT);
  CloseSocket(socket);
  return bound;
}

QString WriteTestFile(const QTemporaryDir& folder, const QString& name,
                      const QByteArray& contents) {
  const QString path = folder.filePath(name);
  if (!QDir().mkpath(QFileInfo(path).path())) return QString();
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) return QString();
  return path;
}

Window::Window() {
  dialog.show();
  dialog.activateWindow();
  (void)QTest::qWaitForWindowActive(&dialog);
}

QLineEdit* Window::MacPart(int part) {
  return Find<QLineEdit>(
      QByteArray("101" + QByteArray::number(part + 1) + "_mac" + QByteArray::number(part))
          .constData());
}

QStringList Window::Rows() {
  QStringList rows;
  for (int i = 0; i < Results()->count(); ++i) rows << Results()->item(i)->text();
  return rows;
}

QString Window::Address(const char* name) {
  auto* field = Find<CIpAddressField>(name);
  QStringList parts;
  for (int part = 0; part < 4; ++part) parts << field->Part(part)->text();
  return parts.join(QLatin1Char('.'));
}

void Window::TypeAddress(const char* name, const QString& dotted) {
  auto* field = Find<CIpAddressField>(name);
  const QStringList parts = dotted.split(QLatin1Char('.'));
  for (int part = 0; part < 4; ++part) {
    QLineEdit* edit = field->Part(part);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    if (part < parts.size()) QTest::keyClicks(edit, parts[part]);
  }
}

void Window::TypeText(const char* name, const QString& text) {
  auto* edit = Find<QLineEdit>(name);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}

CProgressDlg* Window::VisibleStatus() {
  for (CProgressDlg* status : dialog.findChildren<CProgressDlg*>()) {
    if (status->isVisible()) return status;
  }
  return nullptr;
}

bool Window::FailClosing() {
  if (!QTest::qWaitFor([this] { return Results()->count() > 0; })) return false;
  dialog.close();
  return dialog.isVisible() && Results()->count() > 0 && TextPortFree();
}

void Window::Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }

void Window::ClickRow(int row) {
  QListWidgetItem* item = Results()->item(row);
  Results()->scrollToItem(item);
  QTest::mouseClick(Results()->viewport(), Qt::LeftButton, {},
                    Results()->visualItemRect(item).center());
}

void Window::TypeMac(const QString& part3, const QString& part4, const QString& part5) {
  QTest::mouseClick(Find<QCheckBox>("1057_search_by_mac"), Qt::LeftButton);
  const QString parts[] = {part3, part4, part5};
  for (int i = 0; i < 3; ++i) {
    MacPart(i + 3)->setFocus();
    QTest::keyClicks(MacPart(i + 3), parts[i]);
  }
}

StatusAnswerer::StatusAnswerer() {
  QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
  m_timer.start(STATUS_POLL_MS);
}

void StatusAnswerer::Poll() {
  auto* status = qobject_cast<CProgressDlg*>(QApplication::activeModalWidget());
  if (status == nullptr || !status->isVisible() || status->TimerRunning()) return;
  const bool okShown = status->OkButton()->isVisible();
  m_outcomes.push_back({status->windowTitle(), status->StatusText(), okShown, status->Ticks()});
  if (okShown) {
    QTest::mouseClick(status->OkButton(), Qt::LeftButton);
  } else {
    status->close();
  }
}
