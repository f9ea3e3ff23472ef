#include "ui/qt_event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <mutex>

namespace vd {

// Shared by one wait and the wake callback it hands to the worker's signal. The worker may call the
// callback at any time, even long after the wait ended; it posts only while `receiver` is set, which the
// wait clears (under the mutex) before it returns. `loop` is touched on the main thread only.
struct QtEventPump::Waker {
  std::mutex mutex;
  QObject* receiver = nullptr;
  QEventLoop* loop = nullptr;
};

QtEventPump::QtEventPump() : receiver_(std::make_unique<QObject>()) {}

QtEventPump::~QtEventPump() = default;

void QtEventPump::pump_events() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

bool QtEventPump::wait_for_signal(WorkerSignal& signal, std::chrono::milliseconds timeout) {
  if (signal.is_set()) return true;
  if (timeout <= std::chrono::milliseconds::zero()) {
    pump_events();
    return signal.is_set();
  }

  QEventLoop loop;
  auto waker = std::make_shared<Waker>();
  waker->receiver = receiver_.get();
  waker->loop = &loop;
  signal.on_set([waker] {
    std::lock_guard<std::mutex> lock(waker->mutex);
    if (waker->receiver == nullptr) return;
    QMetaObject::invokeMethod(
        waker->receiver,
        [waker] {
          if (waker->loop != nullptr) waker->loop->quit();
        },
        Qt::QueuedConnection);
  });

  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  timer.start(timeout);
  // Set before on_set took the callback: no wake will come, so do not enter the loop.
  if (!signal.is_set()) loop.exec(QEventLoop::AllEvents);

  waker->loop = nullptr;
  {
    std::lock_guard<std::mutex> lock(waker->mutex);
    waker->receiver = nullptr;
  }
  return signal.is_set();
}

}  // namespace vd
