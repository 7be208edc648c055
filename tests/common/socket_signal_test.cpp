// Waits and receives that a signal interrupts go on for the rest of their time.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "common/socket_port.h"
#include "tests/common/loopback.h"
#include "tests/common/signal_storm.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(SocketPort, SignalsDoNotEndAWaitOrAReceive) {
  LoopbackUdp udp;
  SignalStorm storm;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(0, WaitReadable(udp.Socket(), 400));  // the whole time, then a time-out
  EXPECT_GE(SecondsSince(start), 0.39);

  std::thread late([&udp] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    udp.SendToMe(5);
  });
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(1, WaitReadable(udp.Socket(), 5000));
  EXPECT_GE(SecondsSince(start), 0.25);
  late.join();
  uint8_t buffer[16];
  EXPECT_EQ(5, ReceiveDatagram(udp.Socket(), buffer, sizeof buffer, nullptr, nullptr));

  // A blocking receive on an empty socket waits through the signals for the datagram.
  late = std::thread([&udp] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    udp.SendToMe(7);
  });
  EXPECT_EQ(7, ReceiveDatagram(udp.Socket(), buffer, sizeof buffer, nullptr, nullptr));
  late.join();
  EXPECT_GE(storm.Sent(), 10);
}

}  // namespace
