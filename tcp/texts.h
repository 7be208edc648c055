// The TCP services' texts for users: the failed connect, the firmware download and the
// labels of the test page, English and Korean side by side. Constant data; thread-safe.
#pragma once

#include "common/core_text.h"
#include "tcp/tcp_link.h"

// A failed connect, by ConnectWithTimeout's result code, and the caption of its message.
struct ConnectErrorEntry {
  int code;
  CoreText text;
};
constexpr ConnectErrorEntry CONNECT_ERROR_TEXTS[] = {
    {TCP_ERR_STARTUP, {"WSAStartup ERROR", "WSAStartup 에러"}},
    {TCP_ERR_VERSION, {"winsock version ERROR", "winsock version 에러"}},
    {TCP_ERR_SOCKET, {"socket() ERROR", "socket() 에러"}},
    {TCP_ERR_NONBLOCK, {"ioctl() ERROR", "ioctl() 에러"}},
    {TCP_ERR_CONNECT, {"connect() ERROR", "connect() 에러"}},
    {TCP_ERR_SELECT, {"select() ERROR", "select() 에러"}},
    {TCP_ERR_TIMEOUT, {"connect timeout ERROR", "연결 시간 초과 에러"}},
    {TCP_ERR_BLOCKING, {"ioctl() ERROR", "ioctl() 에러"}},
};
constexpr CoreText CONNECT_ERROR_CAPTION{"ERROR", "에러"};

// The printer's address, which the window's download and test print read from a field.
constexpr CoreText TEXT_TYPE_IP_ADDRESS{"Please Type the IP Address", nullptr};

// The update file and the outcome of its download.
constexpr CoreText TEXT_CANNOT_OPEN_FILE{"Can't Open File !", nullptr};
constexpr CoreText TEXT_DOWNLOAD_REFUSED{"Fail Program Download!", nullptr};
constexpr CoreText TEXT_DOWNLOAD_COMPLETED{
    "Firmware downloading is completed.\nPlease turn off the printer and turn it on again.",
    "펌웨어가 정상적으로 다운로드 되었습니다.\n정상적인 사용을 위해 프린터를 끈 후 다시 켜 "
    "주십시요."};

// The test page's labels: the English ones 12 characters wide before ": ", the Korean ones
// 16 bytes wide in code page 949.
constexpr CoreText PAGE_LABEL_MAC{"MAC Address : ", "MAC 주소        : "};
constexpr CoreText PAGE_LABEL_IP{"IP Address  : ", "IP 주소         : "};
constexpr CoreText PAGE_LABEL_MASK{"Subnet Mask : ", "서브넷 마스크   : "};
constexpr CoreText PAGE_LABEL_GATEWAY{"Gateway     : ", "기본 게이트웨이 : "};
constexpr CoreText PAGE_LABEL_PORT{"Port Number : ", "전송 포트 번호  : "};
