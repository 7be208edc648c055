// CBroadcastSocket: the main window's datagram socket of the text protocol, bound to UDP
// port 27700 with broadcast on. It broadcasts the window's requests to 255.255.255.255 and
// hands each valid reply to its owner, the main window, which holds it in a
// std::unique_ptr and deletes it when it closes it. Its readyRead notification is
// OnReceive. User-interface thread only.
#pragma once

#include <QByteArray>
#include <QUdpSocket>
#include <cstdint>

#include "common/socket_port.h"

class CConfigDlg;

constexpr int SEND_MODE_SEARCH = 0;
constexpr int SEND_MODE_SET = 1;
// Large enough for any UDP datagram.
constexpr qint64 TEXT_RECEIVE_BUFFER_SIZE = 69999;

class CBroadcastSocket : public QUdpSocket {
  Q_OBJECT

 public:
  // `owner` receives the replies and must outlive the socket.
  explicit CBroadcastSocket(CConfigDlg* owner);

  // Creates an IPv4 datagram socket bound to any local address and `port` without address
  // sharing (a second socket on the port fails to bind) and takes it over. Returns 0, or
  // the socket error, with no socket held.
  int Create(uint16_t port);
  // The socket handle, or INVALID_SOCKET_HANDLE once closed.
  SocketHandle Handle() const;
  // Closes the socket; the object stays, and every later send fails.
  void Close();

  // Makes `message` the pending text, none of it sent yet. `sendMode` is SEND_MODE_SEARCH
  // or SEND_MODE_SET; both go to the broadcast address.
  void SetPending(const QByteArray& message, int sendMode);
  // Sends the unsent part of the pending text to 255.255.255.255:27700. A send that would
  // block leaves the rest pending; any other failure closes the socket and shows "Sever
  // Socket failed to send: %1" with the socket error.
  void SendPending();

  // Reads the waiting datagrams. Each one records its sender's address in the owner; a
  // datagram of 0 bytes closes the socket; a valid reply (at least 128 characters before
  // any NUL, upper-case check digits) goes to the owner by its code (TXT_INFO,
  // TXT_SET_ACK); everything else is dropped.
  void OnReceive();

 private:
  CConfigDlg* m_pOwner;
  int m_nSendMode = SEND_MODE_SEARCH;
  QByteArray m_strPending;
  int m_nToSend = 0;
  int m_nSent = 0;
};
