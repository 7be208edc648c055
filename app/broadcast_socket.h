// CBroadcastSocket: the main dialog's datagram socket of the text protocol, owned by the
// dialog through m_pSocket. The dialog's closing paths close and delete it; sending and
// receiving come with the text-protocol search. User-interface thread only.
#pragma once

class CBroadcastSocket {
 public:
  void Close() { m_bOpen = false; }
  bool IsOpen() const { return m_bOpen; }

 private:
  bool m_bOpen = true;
};
