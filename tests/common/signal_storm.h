// SignalStorm: interrupts the thread that creates it with SIGUSR1 every 20 ms until it is
// destroyed, through a handler installed without SA_RESTART, so that each signal breaks
// off whatever blocking call that thread is in. For tests of waits that must resume.
// Create and destroy it on the thread to interrupt.
#pragma once

#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

class SignalStorm {
 public:
  SignalStorm() : m_target(pthread_self()) {
    struct sigaction action {};
    action.sa_handler = [](int) {};
    EXPECT_EQ(0, sigaction(SIGUSR1, &action, &m_previous));
    m_thread = std::thread([this] {
      while (!m_bStop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(0, pthread_kill(m_target, SIGUSR1));
        ++m_nSent;
      }
    });
  }
  // Every signal sent has been handled once the join returns to this thread.
  ~SignalStorm() {
    m_bStop = true;
    m_thread.join();
    EXPECT_EQ(0, sigaction(SIGUSR1, &m_previous, nullptr));
  }
  SignalStorm(const SignalStorm&) = delete;
  SignalStorm& operator=(const SignalStorm&) = delete;

  int Sent() const { return m_nSent; }

 private:
  pthread_t m_target;
  struct sigaction m_previous {};
  std::atomic<bool> m_bStop{false};
  std::atomic<int> m_nSent{0};
  std::thread m_thread;
};
