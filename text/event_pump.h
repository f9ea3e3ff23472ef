// The process-wide event hook through which the core lets the front end handle its events.
//
// The core calls pump_events() at its fixed points (each keyword, page, pause step, result heading,
// percent-encoded byte) and wait_for_signal() while a worker thread runs. A front end installs its own
// EventPump: the window one that runs Qt's event loop, the command line a plain one. With none installed,
// the plain one serves. Call these on the front end's main thread only.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace vd {

// Set once by a worker thread when it is done; waited on by the main thread. Thread-safe.
//
// Lifetime: the web layer holds the signal by shared_ptr on both threads, so the object outlives every
// call on it, a set() from an abandoned worker included.
class WorkerSignal {
 public:
  // The first call sets the flag, wakes the waiters and then runs the wake installed by on_set(), if any,
  // on the calling thread. Later calls do nothing.
  void set();
  bool is_set() const;
  // Plain wait: true when set before the deadline (at once when set already).
  bool wait_until(std::chrono::steady_clock::time_point deadline);
  // Installs the wake that set() runs on the setting thread; a window pump uses it to wake its event loop.
  // The wake runs at most once. When on_set() returns, a wake it replaced is neither running nor will
  // run, so on_set(nullptr) before leaving the wait makes it safe to destroy what the wake refers to.
  // When the signal is set already nothing is stored: install first, then test is_set(), and no set()
  // can fall between the two unnoticed. The wake must not call on_set() and should not block.
  void on_set(std::function<void()> wake);

 private:
  std::mutex wake_mutex_;  // held while the wake runs; taken before mutex_
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
  std::function<void()> wake_;
};

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Handles the events already waiting and returns; never waits for new ones.
  virtual void pump_events() = 0;
  // Waits until the signal is set or the time passes, handling events meanwhile.
  // Returns true when the signal was set.
  virtual bool wait_for_signal(WorkerSignal& signal, std::chrono::milliseconds timeout) = 0;
};

// Nothing to handle; waits on the signal's condition variable.
class PlainEventPump final : public EventPump {
 public:
  void pump_events() override {}
  bool wait_for_signal(WorkerSignal& signal, std::chrono::milliseconds timeout) override;
};

// Installs the pump for the process (nullptr restores the plain one). The pump must outlive its use.
void install_event_pump(EventPump* pump);
EventPump& event_pump();
void pump_events();

}  // namespace vd
