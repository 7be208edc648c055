// The test page: its lines in both languages, and the bytes a print port receives.
#include "tcp/test_page.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "sim/tcp_services.h"

namespace {

const TestPageValues VALUES{"00:1A:2B:3C:4D:5E", 0xC0A80005, 0xFFFFFF00, 0xC0A80001, 9100};

// The English lines are 33, 31, 31, 31 and 20 bytes. The Korean labels are the code page 949 bytes
// of "MAC 주소", "IP 주소", "서브넷 마스크", "기본 게이트웨이" and "전송 포트 번호" (as Python's
// cp949 codec encodes them), padded with spaces to 16 bytes.
TEST(BuildTestPageLines, EachLanguageHasItsLabelsWidthsAndColumns) {
  struct Row {
    const char* name;
    bool korean;
    std::vector<std::string> lines;
  } rows[] = {
      {"English",
       false,
       {"MAC Address : 00:1A:2B:3C:4D:5E\r\n", "IP Address  : 192.168.  0.  5\r\n",
        "Subnet Mask : 255.255.255.  0\r\n", "Gateway     : 192.168.  0.  1\r\n",
        "Port Number : 9100\r\n"}},
      {"Korean",
       true,
       {"MAC \xC1\xD6\xBC\xD2        : 00:1A:2B:3C:4D:5E\r\n",
        "IP \xC1\xD6\xBC\xD2         : 192.168.  0.  5\r\n",
        "\xBC\xAD\xBA\xEA\xB3\xDD \xB8\xB6\xBD\xBA\xC5\xA9   : 255.255.255.  0\r\n",
        "\xB1\xE2\xBA\xBB \xB0\xD4\xC0\xCC\xC6\xAE\xBF\xFE\xC0\xCC : 192.168.  0.  1\r\n",
        "\xC0\xFC\xBC\xDB \xC6\xF7\xC6\xAE \xB9\xF8\xC8\xA3  : 9100\r\n"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.lines, BuildTestPageLines(VALUES, row.korean));
  }
}

TEST(SendTestPage, ThePrintPortReceivesTheLinesThenTheCut) {
  uint16_t port = 0;
  const SocketHandle listener = ListenTcp(0x0100007F, 0, &port);
  ASSERT_NE(INVALID_SOCKET_HANDLE, listener);
  PrintService printer;
  std::atomic<bool> stop{false};
  std::thread serving([&] { printer.Serve(listener, stop); });

  CTcpLink link;
  ASSERT_EQ(TCP_OK, link.ConnectWithTimeout("127.0.0.1", port));
  const std::vector<std::string> lines = BuildTestPageLines(VALUES, false);
  EXPECT_TRUE(SendTestPage(&link, lines));
  EXPECT_FALSE(link.IsOpen());
  for (int tries = 0; tries < 100 && printer.Pages().empty(); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  stop = true;
  serving.join();
  CloseSocket(listener);
  std::string expected;
  for (const std::string& line : lines) expected += line;
  expected += std::string("\x1D\x56\x42\x00", 4);
  ASSERT_EQ(1u, printer.Pages().size());
  EXPECT_EQ(expected, printer.Pages()[0]);
}

}  // namespace
