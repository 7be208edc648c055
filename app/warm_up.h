// WarmUp: loads something the window needs on a second thread while the user-interface
// thread goes on with its start-up. Wait, or the destructor, joins the thread. Use it from
// one thread.
#pragma once

#include <thread>

class WarmUp {
 public:
  // Nothing to load.
  WarmUp() = default;
  // Starts `load` on the second thread.
  explicit WarmUp(void (*load)()) : m_thread(load) {}
  ~WarmUp() { Wait(); }
  WarmUp(const WarmUp&) = delete;
  WarmUp& operator=(const WarmUp&) = delete;

  // Returns once the load has ended (at once when there was nothing to load).
  void Wait() {
    if (m_thread.joinable()) m_thread.join();
  }

  // Whether a load was started and has not been waited for yet.
  bool Started() const { return m_thread.joinable(); }

 private:
  std::thread m_thread;
};
