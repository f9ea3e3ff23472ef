#include "text/event_pump.h"

#include <atomic>
#include <utility>

namespace vd {

void WorkerSignal::set() {
  std::function<void()> wake;
  // Held across the wake so that on_set() can wait for a wake that is running.
  std::lock_guard<std::mutex> wake_lock(wake_mutex_);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (set_) return;
    set_ = true;
    wake = std::exchange(wake_, nullptr);
  }
  changed_.notify_all();
  if (wake) wake();
}

bool WorkerSignal::is_set() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return set_;
}

bool WorkerSignal::wait_until(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_until(lock, deadline, [this] { return set_; });
}

void WorkerSignal::on_set(std::function<void()> wake) {
  std::function<void()> replaced;
  {
    std::lock_guard<std::mutex> wake_lock(wake_mutex_);
    std::lock_guard<std::mutex> lock(mutex_);
    if (set_) {
      replaced = std::move(wake);
    } else {
      replaced = std::exchange(wake_, std::move(wake));
    }
  }
  // The replaced wake (and whatever it captured) is destroyed here, outside both locks.
}

bool PlainEventPump::wait_for_signal(WorkerSignal& signal, std::chrono::milliseconds timeout) {
  if (timeout < std::chrono::milliseconds::zero()) timeout = std::chrono::milliseconds::zero();
  return signal.wait_until(std::chrono::steady_clock::now() + timeout);
}

namespace {

std::atomic<EventPump*> installed_pump{nullptr};

PlainEventPump& plain_pump() {
  static PlainEventPump pump;
  return pump;
}

}  // namespace

void install_event_pump(EventPump* pump) { installed_pump.store(pump); }

EventPump& event_pump() {
  EventPump* pump = installed_pump.load();
  return pump != nullptr ? *pump : plain_pump();
}

void pump_events() { event_pump().pump_events(); }

}  // namespace vd
