// The window's EventPump: Qt's event loop runs while the core waits.
//
// pump_events handles the events already waiting; wait_for_signal runs a nested QEventLoop until the
// worker's signal wakes it or the time passes. The worker's wake only posts an event to this pump's
// receiver; the waiting side drops its claim on the loop before the loop goes away, so a late wake never
// reaches a destroyed loop. Main thread only (the wake callback excepted).
#pragma once

#include <QObject>
#include <memory>

#include "text/event_pump.h"

namespace vd {

class QtEventPump final : public EventPump {
 public:
  QtEventPump();
  ~QtEventPump() override;
  QtEventPump(const QtEventPump&) = delete;
  QtEventPump& operator=(const QtEventPump&) = delete;

  void pump_events() override;
  bool wait_for_signal(WorkerSignal& signal, std::chrono::milliseconds timeout) override;

  struct Waker;

 private:
  std::unique_ptr<QObject> receiver_;  // lives on the main thread; wakes are queued to it
};

}  // namespace vd
