// Socket portability of the core: the few BSD-socket / Winsock calls that the exchanges
// need, with Winsock's start-up and error-code conventions. socket_port.cpp holds the POSIX
// side, socket_port_windows.cpp the Windows side. On POSIX the sockets library needs no
// start-up, so SocketStartup always succeeds. Thread-safe; each socket belongs to one
// caller at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/ipv4_text.h"

#ifdef _WIN32
using SocketHandle = uintptr_t;  // SOCKET
constexpr SocketHandle INVALID_SOCKET_HANDLE = ~static_cast<SocketHandle>(0);
constexpr int SOCKET_ERR_ADDRESS_IN_USE = 10048;  // WSAEADDRINUSE
#else
#include <cerrno>
using SocketHandle = int;
constexpr SocketHandle INVALID_SOCKET_HANDLE = -1;
constexpr int SOCKET_ERR_ADDRESS_IN_USE = EADDRINUSE;
#endif

// IPv4 addresses travel through these helpers in network byte order, as in in_addr.
constexpr uint32_t LIMITED_BROADCAST_ADDRESS = 0xFFFFFFFFu;

// WSAStartup for the given version; false with *error set when the library refuses or
// grants another version (then nothing is held). Each success is released by one
// SocketCleanup.
[[nodiscard]] bool SocketStartup(int major, int minor, int* error);
// WSACleanup: releases one successful SocketStartup.
void SocketCleanup();
// How many successful SocketStartup calls this process holds unreleased (on both sides,
// so that the balance of start-up and clean-up can be checked anywhere).
int HeldSocketStartups();

// The error code of the last failed socket call on this thread (WSAGetLastError / errno).
[[nodiscard]] int LastSocketError();
// The system's text for a socket error code ("Address already in use"), for messages: a
// Winsock code on Windows (where strerror knows none of them), errno's on POSIX.
[[nodiscard]] std::string SocketErrorText(int error);

// Closes the socket (closesocket / close): 0, or -1 when the close fails or the handle is
// INVALID_SOCKET_HANDLE.
int CloseSocket(SocketHandle socket);

// An AF_INET datagram socket, or INVALID_SOCKET_HANDLE with the error in LastSocketError.
[[nodiscard]] SocketHandle CreateUdpSocket();
// SO_BROADCAST on; false on failure.
[[nodiscard]] bool EnableBroadcast(SocketHandle socket);
// Reads SO_BROADCAST into *value; false when the option cannot be read (*value untouched).
[[nodiscard]] bool ReadBroadcastOption(SocketHandle socket, int* value);
// Binds to INADDR_ANY and `port` (0: any free port) without address reuse, so a second
// socket on the same port fails to bind with SOCKET_ERR_ADDRESS_IN_USE, even one that asks
// to share the address (SO_EXCLUSIVEADDRUSE on Windows); false on failure.
[[nodiscard]] bool BindAnyAddress(SocketHandle socket, uint16_t port);

// Waits until the socket is readable, for at most `timeoutMs`, a full wait on every call;
// a signal that interrupts the wait does not end it. Returns 1 readable (an error or end of
// stream counts), 0 time-out, -1 failure.
[[nodiscard]] int WaitReadable(SocketHandle socket, uint32_t timeoutMs);

// Sends one datagram to `address`:`port`; the byte count sent, or -1.
[[nodiscard]] long SendDatagram(SocketHandle socket, const uint8_t* data, size_t length,
                                uint32_t address, uint16_t port);
// Whether a send error means that the socket would have blocked (EWOULDBLOCK /
// WSAEWOULDBLOCK).
[[nodiscard]] bool IsWouldBlock(int error);

// ReceiveDatagram's results other than a length: the receive failed, or the datagram was
// longer than the buffer (it is gone, and the socket is as good as before).
constexpr long RECEIVE_FAILED = -1;
constexpr long DATAGRAM_TOO_LONG = -2;

// Receives one datagram into `buffer`, going on when a signal interrupts the receive.
// Returns its length; DATAGRAM_TOO_LONG when it was longer than `capacity` (it is never
// handed on cut short); RECEIVE_FAILED when the receive fails. *sourceAddress receives
// the sender's IPv4 address, *sourcePort its port (host order); either may be null.
[[nodiscard]] long ReceiveDatagram(SocketHandle socket, uint8_t* buffer, size_t capacity,
                                   uint32_t* sourceAddress, uint16_t* sourcePort);

// The local port that the socket is bound to (host order), or 0 when it is not bound.
uint16_t LocalPort(SocketHandle socket);

// Stream sockets (the TCP link of the download and the test page).

// An AF_INET stream socket, or INVALID_SOCKET_HANDLE.
[[nodiscard]] SocketHandle CreateTcpSocket();
// Switches blocking mode off or on (FIONBIO); false on failure.
[[nodiscard]] bool SetNonBlocking(SocketHandle socket, bool nonBlocking);
// SO_RCVTIMEO in milliseconds; false when the option is refused.
[[nodiscard]] bool SetReceiveTimeout(SocketHandle socket, uint32_t milliseconds);
// SO_RCVBUF in bytes (the system raises a tiny value to its minimum); false when refused.
[[nodiscard]] bool SetReceiveBufferSize(SocketHandle socket, int bytes);
// SO_LINGER on with time 0, so that closing the socket resets the connection instead of
// ending it in order; false when refused.
[[nodiscard]] bool SetResetOnClose(SocketHandle socket);
// Sends that count as done only once the network has their bytes, in two steps: this one
// when the socket is made, WaitSendHandedOver after each send that needs the guarantee.
// Windows switches the send buffer off (SO_SNDBUF 0), so that a blocking send returns only
// then. Linux clamps a zero send buffer to a few kilobytes, and a large send crawls: there
// the normal buffer stays, and this does nothing. false when the option is refused.
[[nodiscard]] bool PrepareSendHandOver(SocketHandle socket);
// Waits until every byte sent on the stream socket has been taken by the peer: on Linux
// until the send queue (SIOCOUTQ: bytes not yet sent or not yet acknowledged) is empty; on
// Windows a send has returned only then, so it returns at once. Returns 1 when the queue is
// empty, 0 when it has not shrunk for `stallTimeoutMs`, -1 when the connection failed or
// the queue cannot be read. A signal does not end the wait.
[[nodiscard]] int WaitSendHandedOver(SocketHandle socket, uint32_t stallTimeoutMs);
// connect() to `address` (network order):`port`; 0, or -1 with LastSocketError set.
[[nodiscard]] int ConnectIpv4(SocketHandle socket, uint32_t address, uint16_t port);
// Whether a connect error means "in progress" (EINPROGRESS, EWOULDBLOCK / WSAEWOULDBLOCK).
[[nodiscard]] bool IsConnectPending(int error);
// Waits until the socket is writable, for at most `timeoutMs`: 1 writable (a failed connect
// attempt counts), 0 time-out, -1 failure.
[[nodiscard]] int WaitWritable(SocketHandle socket, uint32_t timeoutMs);
// Whether a failed stream receive's error leaves the connection as it was: its time-out ran
// out (EAGAIN / EWOULDBLOCK / WSAETIMEDOUT) or a signal interrupted it (EINTR / WSAEINTR).
[[nodiscard]] bool IsTransientReceiveError(int error);
// The socket's pending error (SO_ERROR): 0 when a connect attempt succeeded.
[[nodiscard]] int PendingSocketError(SocketHandle socket);
// One send() / recv() on a stream socket, flags 0 (no signal on a closed peer): the count,
// or -1 (a receive time-out included); recv gives 0 when the peer has closed its side.
[[nodiscard]] long SendStream(SocketHandle socket, const uint8_t* data, size_t length);
[[nodiscard]] long ReceiveStream(SocketHandle socket, uint8_t* buffer, size_t capacity);

// A listening stream socket on `address` (network order):`port` (0: any free port) with
// room for `backlog` unaccepted connections; *boundPort receives the port. A port freed by
// an earlier listener can be taken at once. INVALID_SOCKET_HANDLE on failure, with the
// error in LastSocketError.
[[nodiscard]] SocketHandle ListenTcp(uint32_t address, uint16_t port, uint16_t* boundPort,
                                     int backlog = 4);
// The next connection waiting on a listener (blocking unless one is waiting), or
// INVALID_SOCKET_HANDLE.
[[nodiscard]] SocketHandle AcceptConnection(SocketHandle listener);
