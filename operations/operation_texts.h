// The messages of the main window's operations (search, save, firmware file) and of its
// text-protocol socket. They read the same in both languages; "%1" is replaced by the
// socket error code. Constant data; thread-safe.
#pragma once

namespace texts {

constexpr const char* SOCKET_ALLOCATE_FAILED =
    "Fail to allocate UDP socket! Close and restart app.";
constexpr const char* SOCKET_CREATE_FAILED =
    "Fail to create UDP socket: %1! Close and restart app.";
constexpr const char* SET_BROADCAST_FAILED = "SetSockOpt failed to set SO_BROADCAST: %1";
constexpr const char* GET_BROADCAST_FAILED = "GetSockOpt failed to get SO_BROADCAST: %1";
constexpr const char* SOCKET_SEND_FAILED = "Sever Socket failed to send: %1";

constexpr const char* MAC_INPUT_MISSING = "Please input MAC address";
constexpr const char* MAC_INPUT_CAPTION = "ERROR";

constexpr const char* SAVE_NO_SOCKET = "Please create socket first.";

// The firmware file: the file dialog's filters, the refusal's caption (its text is the
// download's, in tcp/texts.h) and the trace text (%1 bytes before the first zero byte, %2
// bytes in all).
constexpr const char* FIRMWARE_FILTER_BINARY = "Binary File (*.bin)";
constexpr const char* FIRMWARE_FILTER_ALL = "All Files (*.*)";
constexpr const char* FIRMWARE_FILE_REFUSED_CAPTION = "Warning";
constexpr const char* FIRMWARE_TRACE = " Len: %1, %2";

}  // namespace texts
