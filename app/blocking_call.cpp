#include "app/blocking_call.h"

#include <QEventLoop>
#include <QMetaObject>
#include <thread>

void RunBlockingCall(const std::function<void()>& work) {
  QEventLoop loop;
  std::thread worker([&] {
    work();
    // Posted to the loop, so it takes effect even if the work ends before the loop runs.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
  worker.join();
}
