// Socket portability of the core: the few BSD-socket / Winsock calls that the exchanges
// need, with Winsock's start-up and error-code conventions. On POSIX the sockets library
// needs no start-up, so SocketStartup always succeeds and SocketCleanup does nothing.
// Stateless and thread-safe; each socket belongs to one caller at a time.
#pragma once

#include <cstddef>
#include <cstdint>

using SocketHandle = int;
constexpr SocketHandle INVALID_SOCKET_HANDLE = -1;

// IPv4 addresses travel through these helpers in network byte order, as in in_addr.
constexpr uint32_t LIMITED_BROADCAST_ADDRESS = 0xFFFFFFFFu;

// WSAStartup for the given version; false with *error set when the library refuses.
[[nodiscard]] bool SocketStartup(int major, int minor, int* error);
// WSACleanup: releases one successful SocketStartup.
void SocketCleanup();

// The error code of the last failed socket call on this thread (WSAGetLastError / errno).
[[nodiscard]] int LastSocketError();

// Closes the socket (closesocket / close): 0, or -1 when the close fails or the handle is
// INVALID_SOCKET_HANDLE.
int CloseSocket(SocketHandle socket);

// An AF_INET datagram socket, or INVALID_SOCKET_HANDLE with the error in LastSocketError.
[[nodiscard]] SocketHandle CreateUdpSocket();
// SO_BROADCAST on; false on failure.
[[nodiscard]] bool EnableBroadcast(SocketHandle socket);
// Binds to INADDR_ANY and `port` without address reuse, so a second socket on the same
// port fails to bind; false on failure.
[[nodiscard]] bool BindAnyAddress(SocketHandle socket, uint16_t port);

// Waits until the socket is readable, for at most `timeoutMs`, a full wait on every call;
// a signal that interrupts the wait does not end it. Returns 1 readable (an error or end of
// stream counts), 0 time-out, -1 failure.
[[nodiscard]] int WaitReadable(SocketHandle socket, uint32_t timeoutMs);

// Sends one datagram to `address`:`port`; the byte count sent, or -1.
[[nodiscard]] long SendDatagram(SocketHandle socket, const uint8_t* data, size_t length,
                                uint32_t address, uint16_t port);

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

// Dotted text of an address in network byte order ("198.51.100.2").
void FormatIpv4(uint32_t address, char text[16]);
// Parses dotted text into network byte order; false unless it is four decimal numbers, each
// at most 255.
[[nodiscard]] bool ParseIpv4(const char* text, uint32_t* address);

// Stream sockets (the TCP link of the download and the test page).

// An AF_INET stream socket, or INVALID_SOCKET_HANDLE.
[[nodiscard]] SocketHandle CreateTcpSocket();
// Switches blocking mode off or on (FIONBIO); false on failure.
[[nodiscard]] bool SetNonBlocking(SocketHandle socket, bool nonBlocking);
// SO_RCVTIMEO in milliseconds and SO_SNDBUF in bytes; false when the option is refused.
[[nodiscard]] bool SetReceiveTimeout(SocketHandle socket, uint32_t milliseconds);
[[nodiscard]] bool SetSendBufferSize(SocketHandle socket, int bytes);
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
