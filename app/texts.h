// The window's texts in English and Korean. The Korean one is shown when the code page is
// 949; a text without a Korean version is English in both. Constant data; thread-safe.
#pragma once

#include <QString>

#include "common/core_text.h"
#include "netvora_version.h"
#include "protocol/texts.h"
#include "tcp/texts.h"

using BilingualText = CoreText;

QString TextFor(const BilingualText& text, int codePage);

namespace texts {

// Main window.
constexpr BilingualText MAIN_CAPTION{
    "TALVO TECH Ethernet(TCP/IP) Configuration Utility " NETVORA_VERSION,
    "탈보테크 TCP/IP 설정 유틸리티 " NETVORA_VERSION};
constexpr BilingualText SEARCH{"Search", "프린터 검색"};
constexpr BilingualText SAVE{"Save", "저장하기"};
constexpr BilingualText EXIT{"Exit", "프로그램 종료"};
constexpr BilingualText INFO_GROUP{"Ethernet printer's Information", "프린터 설정 정보"};
constexpr BilingualText IP_LABEL{"IP Address : ", nullptr};
constexpr BilingualText MASK_LABEL{"SUBNET MASK : ", nullptr};
constexpr BilingualText GATEWAY_LABEL{"Gateway : ", nullptr};
constexpr BilingualText PORT_LABEL{"Port : ", nullptr};
constexpr BilingualText DHCP{"DHCP Setting(Use DHCP)", "자동으로 IP 주소 받기(DHCP)"};
constexpr BilingualText BAUD_LABEL{"Baud rate:", nullptr};
constexpr BilingualText DATA_BITS_LABEL{"Data bits:", nullptr};
constexpr BilingualText PARITY_LABEL{"Parity:", nullptr};
constexpr BilingualText STOP_BITS_LABEL{"Stop bits:", nullptr};
constexpr BilingualText FLOW_LABEL{"Flow Control:", nullptr};
constexpr BilingualText FW_GROUP{"F/W Update", "펌웨어 업데이트"};
constexpr BilingualText FW_UPDATE{"Firmware Update", "펌웨어 업데이트"};
constexpr BilingualText OPEN_FW{"Open Firmware", "펌웨어 파일 열기"};
constexpr BilingualText FW_IP_LABEL{"IP : ", nullptr};
constexpr BilingualText FW_FILE_LABEL{"Update File Name : ", "펌웨어 파일 이름 : "};
constexpr BilingualText VERSION_LABEL{"F/W Version :", nullptr};
constexpr BilingualText READ{"Read", "읽어 오기"};
constexpr BilingualText SEARCH_GROUP{"Searching printers", "프린터 검색 기능"};
constexpr BilingualText SEARCH_BY_MAC{"Search using MAC Address",
                                      "MAC 주소를 사용하여 프린터 검색"};
constexpr BilingualText TEST_PRINT{"Test print", "테스트 인쇄"};
// Accessible names of controls without a caption; %1 is the byte's number, 1 to 6.
constexpr BilingualText RESULTS_NAME{"Printers found", "검색된 프린터"};
constexpr BilingualText MAC_PART_NAME{"MAC address byte %1", "MAC 주소 %1번째 바이트"};

// The password prompt of a save that the printer refused; %1 is the largest length in bytes.
constexpr BilingualText PASSWORD_CAPTION{"Printer password", "프린터 비밀번호"};
constexpr BilingualText PASSWORD_PROMPT{
    "The printer did not accept the password.\nType the printer's password (at most %1 bytes):",
    "프린터가 비밀번호를 받아들이지 않았습니다.\n프린터의 비밀번호를 입력하십시오 (최대 "
    "%1바이트):"};

// Not switched by language.
constexpr const char* ABOUT_MENU_ITEM = "Netvora information(&A)...";
constexpr const char* ABOUT_CAPTION = "Netvora information";
constexpr const char* ABOUT_VERSION = "Netvora version : " NETVORA_VERSION;
constexpr const char* SOCKET_START_FAILED = "Windows 소켓 초기화에 실패하였습니다.";
constexpr const char* VALIDATE_MAX_CHARS = "%1 이하의 문자를 입력하십시오.";
constexpr const char* VALIDATE_POSITIVE_INTEGER = "양의 정수를 입력하십시오.";
constexpr const char* VALIDATE_RANGE = "%1와(과) %2 사이의 정수를 입력하십시오.";

// Status dialog.
constexpr BilingualText SEARCHING_LINE{"Now searching printers...",
                                       "탈보테크 프린터를 검색 중입니다..."};
constexpr BilingualText SEARCHING_CAPTION{"TALVO TECH Ethernet Printer Searching...",
                                          "탈보테크 Ethernet 프린터 검색 중..."};
constexpr BilingualText SEARCH_SETTLED_LINE{"Searching Completed !!!",
                                            "프린터 검색이 완료되었습니다."};
constexpr BilingualText SEARCH_SETTLED_CAPTION{"Ethernet Printer Searching",
                                               "탈보테크 Ethernet 프린터 검색"};
constexpr BilingualText NOTHING_FOUND_LINE{
    "Cannot search the ethernet printer.\nPlease check the firewall...",
    "탈보테크 프린터를 찾을 수가 없습니다.\n방화벽이 설정되어 있는 지 확인 바랍니다..."};
constexpr BilingualText NOTHING_FOUND_CAPTION{"Ethernet Printer Searching Results...",
                                              "탈보테크 Ethernet 프린터 검색 결과..."};
constexpr BilingualText NOTHING_FOUND_OK{"OK", "확인"};
constexpr BilingualText SAVING_LINE{"Now saving....", "프린터에 설정 값을 저장 중입니다..."};
constexpr BilingualText SAVING_CAPTION{"Printer Saving...", "탈보테크 Ethernet 프린터 저장 중..."};
constexpr BilingualText SAVE_CONFIRMED_LINE{MSG_SAVE_COMPLETED, "프린터에 저장이 완료되었습니다."};
constexpr BilingualText SAVE_CONFIRMED_CAPTION{"Printer Settings Saved",
                                               "탈보테크 Ethernet 프린터 정보 저장"};
constexpr BilingualText SAVE_TIMED_OUT_LINE{MSG_SAVE_ERROR,
                                            "프린터에 저장 시 에러가 발생했습니다."};
constexpr BilingualText SAVE_TIMED_OUT_CAPTION{"Save Result", "탈보테크 Ethernet 프린터 저장 결과"};
constexpr BilingualText FIRMWARE_DONE_LINE = TEXT_DOWNLOAD_COMPLETED;
constexpr BilingualText FIRMWARE_DONE_CAPTION{"Firmware downloading is completed.",
                                              "탈보테크 펌웨어 다운로드 완료"};

}  // namespace texts
