// The TCP link against real loopback peers.
#include "tcp/tcp_link.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/tcp/loopback_peer.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The process's open descriptors (on Windows its handles): a connect that fails must not
// add one.
#ifdef _WIN32
size_t OpenDescriptors() {
  DWORD count = 0;
  EXPECT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &count));
  return count;
}
#else
size_t OpenDescriptors() {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    (void)entry;
    ++count;
  }
  return count;
}
#endif

TEST(CTcpLink, FailedConnectsGiveTheirCodeAndLeaveNoSocket) {
  ClosedLoopbackPort closed;
  UnansweredLoopbackPort unanswered;
  struct Row {
    const char* name;
    const char* address;
    uint16_t port;
    int code;
    double minSeconds;
    double maxSeconds;
  } rows[] = {
      // Linux reports a refused attempt as writable at once; its pending error decides.
      {"refused", "127.0.0.1", closed.Port(), TCP_ERR_TIMEOUT, 0.0, 1.5},
      {"unanswered: the one-second wait runs out", "127.0.0.1", unanswered.Port(), TCP_ERR_TIMEOUT,
       0.95, 2.5},
      {"not a dotted address: nothing is attempted", "127.0.0.256", closed.Port(), TCP_ERR_CONNECT,
       0.0, 0.5},
      {"empty address text", "", closed.Port(), TCP_ERR_CONNECT, 0.0, 0.5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const size_t descriptors = OpenDescriptors();
    const int startups = HeldSocketStartups();
    CTcpLink link;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(row.code, link.ConnectWithTimeout(row.address, row.port));
    const double waited = SecondsSince(start);
    EXPECT_GE(waited, row.minSeconds);
    EXPECT_LT(waited, row.maxSeconds);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(descriptors, OpenDescriptors());
    EXPECT_EQ(startups, HeldSocketStartups());  // the failed connect released its start-up
  }
}

TEST(CTcpLink, ANewConnectClosesTheOldSocketAndReleasesItsStartup) {
  uint16_t port = 0;
  const SocketHandle listener = ListenLoopback(0, &port);  // the kernel completes connects
  const int startups = HeldSocketStartups();
  CTcpLink link;
  ASSERT_EQ(TCP_OK, link.ConnectWithTimeout("127.0.0.1", port));
  const size_t descriptors = OpenDescriptors();
  ASSERT_EQ(TCP_OK, link.ConnectWithTimeout("127.0.0.1", port));
  EXPECT_EQ(descriptors, OpenDescriptors());
  EXPECT_EQ(startups + 1, HeldSocketStartups());  // one connect's start-up, not two
  EXPECT_EQ(0, link.CloseLink());
  EXPECT_EQ(startups, HeldSocketStartups());
  EXPECT_EQ(-1, link.CloseLink());  // nothing left to close
  EXPECT_EQ(startups, HeldSocketStartups());
  CloseSocket(listener);
}

TEST(CTcpLink, SendsAndReceivesWithAShortReceiveTimeOut) {
  std::string received;
  LoopbackPeer peer([&](SocketHandle connection) {
    uint8_t buffer[64];
    const long got = ReceiveStream(connection, buffer, sizeof buffer);
    if (got > 0) received.assign(reinterpret_cast<char*>(buffer), static_cast<size_t>(got));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // then close our side
  });
  CTcpLink link;
  ASSERT_EQ(TCP_OK, link.ConnectWithTimeout("127.0.0.1", peer.Port()));
  const uint8_t hello[] = {'h', 'e', 'l', 'l', 'o'};
  EXPECT_EQ(5, link.SendBytes(hello, sizeof hello));

  uint8_t buffer[32];
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(-1, link.ReceiveBytes(buffer, sizeof buffer));  // nothing within 100 ms
  const double waited = SecondsSince(start);
  EXPECT_GE(waited, 0.08);
  EXPECT_LT(waited, 0.6);  // generous: a loaded machine may wake the thread late

  long got = -1;
  for (int tries = 0; tries < 20 && got != 0; ++tries)
    got = link.ReceiveBytes(buffer, sizeof buffer);
  EXPECT_EQ(0, got);  // the peer closed its side
  EXPECT_EQ("hello", received);
  EXPECT_EQ(0, link.CloseLink());
  EXPECT_FALSE(link.IsOpen());
}

TEST(ConnectErrorText, NamesEachCodeInBothLanguages) {
  struct Row {
    int code;
    const char* english;
    const char* korean;
  } rows[] = {
      {TCP_ERR_STARTUP, "WSAStartup ERROR", "WSAStartup 에러"},
      {TCP_ERR_VERSION, "winsock version ERROR", "winsock version 에러"},
      {TCP_ERR_SOCKET, "socket() ERROR", "socket() 에러"},
      {TCP_ERR_NONBLOCK, "ioctl() ERROR", "ioctl() 에러"},
      {TCP_ERR_CONNECT, "connect() ERROR", "connect() 에러"},
      {TCP_ERR_SELECT, "select() ERROR", "select() 에러"},
      {TCP_ERR_TIMEOUT, "connect timeout ERROR", "연결 시간 초과 에러"},
      {TCP_ERR_BLOCKING, "ioctl() ERROR", "ioctl() 에러"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.code);
    EXPECT_STREQ(row.english, ConnectErrorText(row.code, false));
    EXPECT_STREQ(row.korean, ConnectErrorText(row.code, true));
  }
  EXPECT_STREQ("ERROR", ConnectErrorCaption(false));
  EXPECT_STREQ("에러", ConnectErrorCaption(true));
}

}  // namespace
