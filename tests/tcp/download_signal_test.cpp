// The download's reply wait goes on through receive time-outs and signals.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tcp/firmware_download.h"
#include "tests/common/signal_storm.h"
#include "tests/tcp/loopback_peer.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(WaitForDownloadReply, WaitsThroughTimeOutsAndSignalsForTheFirstReply) {
  LoopbackPeer peer([](SocketHandle connection) {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const DownloadReply reply = BuildDownloadReply(REPLY_ACK, 4);
    EXPECT_EQ(32, SendStream(connection, reply.data(), reply.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // then close our side
  });
  CTcpLink link;
  ASSERT_EQ(TCP_OK, link.ConnectWithTimeout("127.0.0.1", peer.Port()));
  uint8_t buffer[256];
  const SignalStorm storm;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(32, WaitForDownloadReply(&link, buffer, sizeof buffer));
  EXPECT_GE(SecondsSince(start), 0.35);
  uint8_t status = 0;
  EXPECT_TRUE(IsDownloadReply(buffer, 32, &status));
  EXPECT_EQ(REPLY_ACK, status);
}

}  // namespace
