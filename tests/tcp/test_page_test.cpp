// The test page: its lines in both languages, and the bytes a print port receives.
#include "tcp/test_page.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "common/code_page.h"
#include "sim/tcp_services.h"

namespace {

const TestPageValues VALUES{"00:1A:2B:3C:4D:5E", 0xC0A80005, 0xFFFFFF00, 0xC0A80001, 9100};

TEST(BuildTestPageLines, EnglishLinesHaveTheirWidthsAndColumns) {
  const std::vector<std::string> lines = BuildTestPageLines(VALUES, false);
  const std::vector<std::string> expected = {
      "MAC Address : 00:1A:2B:3C:4D:5E\r\n",
      "IP Address  : 192.168.  0.  5\r\n",
      "Subnet Mask : 255.255.255.  0\r\n",
      "Gateway     : 192.168.  0.  1\r\n",
      "Port Number : 9100\r\n",
  };
  EXPECT_EQ(expected, lines);
  const size_t sizes[] = {33, 31, 31, 31, 20};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(sizes[i], lines[i].size());
}

TEST(BuildTestPageLines, KoreanLabelsAreCodePage949Bytes16Wide) {
  const std::vector<std::string> lines = BuildTestPageLines(VALUES, true);
  ASSERT_EQ(5u, lines.size());
  const char* labels[] = {"MAC 주소", "IP 주소", "서브넷 마스크", "기본 게이트웨이",
                          "전송 포트 번호"};
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(labels[i]);
    const std::string label = ToCodePage949(labels[i]);
    EXPECT_EQ(0u, lines[i].find(label));
    EXPECT_EQ(": ", lines[i].substr(16, 2));  // the label padded to 16 bytes
  }
  EXPECT_EQ("\xC1\xD6\xBC\xD2", ToCodePage949("주소"));  // the code page's bytes, not UTF-8
  EXPECT_EQ("192.168.  0.  5\r\n", lines[1].substr(18));
  EXPECT_EQ("9100\r\n", lines[4].substr(18));
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
