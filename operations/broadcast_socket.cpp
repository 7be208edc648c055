#include "operations/broadcast_socket.h"

#include <QHostAddress>
#include <QSignalBlocker>
#include <new>
#include <string>

#include "app/config_dlg.h"
#include "app/message_box.h"
#include "app/status_words.h"
#include "common/clock.h"
#include "operations/operation_texts.h"
#include "operations/text_message.h"

CBroadcastSocket::CBroadcastSocket(CConfigDlg* owner) : m_pOwner(owner) {
  connect(this, &QUdpSocket::readyRead, this, &CBroadcastSocket::OnReceive);
}

int CBroadcastSocket::Create(uint16_t port) {
  const SocketHandle socket = CreateUdpSocket();
  if (socket == INVALID_SOCKET_HANDLE) return LastSocketError();
  if (!BindAnyAddress(socket, port)) {
    const int error = LastSocketError();
    CloseSocket(socket);
    return error;
  }
  if (!setSocketDescriptor(socket, QAbstractSocket::BoundState)) {
    CloseSocket(socket);
    return static_cast<int>(error());  // the toolkit refused the socket: its own error code
  }
  return 0;
}

SocketHandle CBroadcastSocket::Handle() const {
  return static_cast<SocketHandle>(socketDescriptor());  // -1 once closed
}

void CBroadcastSocket::Close() { close(); }

void CBroadcastSocket::SetPending(const QByteArray& message, int sendMode) {
  m_strPending = message;
  m_nToSend = static_cast<int>(message.size());
  m_nSent = 0;
  m_nSendMode = sendMode;
}

void CBroadcastSocket::SendPending() {
  while (m_nSent < m_nToSend) {
    const long sent = SendDatagram(
        Handle(), reinterpret_cast<const uint8_t*>(m_strPending.constData()) + m_nSent,
        static_cast<size_t>(m_nToSend - m_nSent), LIMITED_BROADCAST_ADDRESS, TEXT_PORT);
    if (sent < 0) {
      const int error = LastSocketError();
      if (IsWouldBlock(error)) return;  // the rest stays pending until the next request
      Close();
      m_pOwner->ReportSocketFailure(texts::SOCKET_SEND_FAILED, error);
      return;
    }
    m_nSent += static_cast<int>(sent);
    if (m_nSent >= m_nToSend) {
      m_nToSend = m_nSent = 0;
      m_strPending.clear();
    }
  }
}

void CBroadcastSocket::OnReceive() {
  // While a handler blocks, replies wait in the socket; the handler reads them once it has
  // returned.
  if (m_pOwner->m_bBlocked) return;
  QByteArray buffer(TEXT_RECEIVE_BUFFER_SIZE, Qt::Uninitialized);
  while (state() == QAbstractSocket::BoundState && hasPendingDatagrams()) {
    QHostAddress sender;
    const qint64 received = readDatagram(buffer.data(), buffer.size(), &sender);
    if (received < 0) return;  // receive errors are ignored
    m_pOwner->m_strRemoteAddr = sender.toString();
    if (received == 0) {
      Close();
      return;
    }
    // The reply is the text up to its first NUL; it must still hold a whole message.
    const QByteArray text(
        buffer.constData(),
        static_cast<int>(qstrnlen(buffer.constData(), static_cast<uint>(received))));
    if (!IsValidTextReply(reinterpret_cast<const uint8_t*>(text.constData()),
                          static_cast<size_t>(text.size()))) {
      continue;
    }
    const std::string code = TextMessageCode(text.toStdString());
    if (code == TXT_INFO) {
      m_pOwner->OnTextInfo(QString::fromLatin1(text));
    } else if (code == TXT_SET_ACK) {
      m_pOwner->OnTextSetAck();
    }
  }
}

void CConfigDlg::BroadcastTextSearch() {
  if (m_pSocket) CloseBroadcastSocket();
  const unsigned seed = MillisecondClock();
  std::string request;
  if (m_bSearchByMac != 0) {
    std::string digits;  // the first two characters of each part
    for (const QString& part : m_strMac) digits += part.left(2).toLatin1().toStdString();
    request = BuildTextSearchMac(digits, seed);
  } else {
    request = BuildTextSearch(seed);
  }
  m_strSendData = QString::fromLatin1(request.data(), static_cast<int>(request.size()));

  std::unique_ptr<CBroadcastSocket> socket(new (std::nothrow) CBroadcastSocket(this));
  if (!socket) {
    ShowMessageBox(this, QString::fromLatin1(texts::SOCKET_ALLOCATE_FAILED), QMessageBox::Warning);
    return;
  }
  const char* failure = nullptr;
  int error = socket->Create(TEXT_PORT);
  int broadcast = 0;
  if (error != 0) {
    failure = texts::SOCKET_CREATE_FAILED;
  } else if (!EnableBroadcast(socket->Handle())) {
    failure = texts::SET_BROADCAST_FAILED;
    error = LastSocketError();
  } else if (!ReadBroadcastOption(socket->Handle(), &broadcast) && broadcast == 0) {
    failure = texts::GET_BROADCAST_FAILED;
    error = LastSocketError();
  }
  if (failure != nullptr) {
    socket.reset();  // the port is free again before the message shows
    ReportSocketFailure(failure, error);
    return;
  }
  m_pSocket = std::move(socket);
  m_pSocket->SetPending(m_strSendData.toLatin1(), SEND_MODE_SEARCH);
  m_pSocket->SendPending();
  m_strSendData.clear();
}

void CConfigDlg::ReportSocketFailure(const char* format, int error) {
  ShowMessageBox(this, QString::fromLatin1(format).arg(error), QMessageBox::Warning);
}

void CConfigDlg::OnTextInfo(const QString& reply) {
  m_strSelEntry = reply;
  m_listReplies->addItem(reply);
  AddTextRow();
  UpdateData(false);
}

void CConfigDlg::OnTextSetAck() {
  g_bSaveDone = 1;
  // The acknowledgement names no printer. It belongs to the selected row only when that row
  // shows the printer whose edited reply waits; otherwise no row changes.
  const int row = m_listResults->currentRow();
  if (row < 0 || static_cast<size_t>(row) >= m_rowMap.size() || m_rowMap[row].kind != ROW_TEXT) {
    return;
  }
  const int stored = m_rowMap[row].index;
  const std::string savedMac = DecodeTextInfo(m_strEntryText.toLatin1().toStdString()).macText;
  const std::string rowMac =
      DecodeTextInfo(m_listReplies->item(stored)->text().toLatin1().toStdString()).macText;
  if (savedMac.empty() || savedMac != rowMac) return;

  delete m_listReplies->takeItem(stored);
  {
    const QSignalBlocker blocker(m_listResults);
    delete m_listResults->takeItem(row);
  }
  RemoveTextRowEntry(&m_rowMap, static_cast<size_t>(row));
  --g_nAsyncRows;
  m_strSelEntry = m_strEntryText;
  m_listReplies->addItem(m_strSelEntry);
  AddTextRow();
  UpdateData(false);
}
