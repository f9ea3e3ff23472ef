#include "web/worker_wait.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "text/clock.h"
#include "text/event_pump.h"

namespace vd {

namespace {

struct WorkerState {
  WorkerSignal signal;
  std::atomic<bool> cancelled{false};
};

// The workers still running. Leaked on purpose: detached workers reach it while the process ends.
struct WorkerRegistry {
  std::mutex mutex;
  std::condition_variable emptied;
  std::vector<std::shared_ptr<WorkerState>> live;

  void add(const std::shared_ptr<WorkerState>& state) {
    std::lock_guard lock(mutex);
    live.push_back(state);
  }
  void remove(const std::shared_ptr<WorkerState>& state) {
    std::lock_guard lock(mutex);
    std::erase(live, state);
    if (live.empty()) emptied.notify_all();
  }
};

WorkerRegistry& registry() {
  static WorkerRegistry* instance = new WorkerRegistry;
  return *instance;
}

// Threads that have done their work wait a while for the next piece, so that a run of requests does not
// pay for starting and ending a thread each time. Detached; leaked on purpose like the registry, since
// threads may still wait on it while the process ends.
class WorkerThreads {
 public:
  // Runs the job on an idle thread, or on a new one; false when no thread could be started.
  bool start(std::function<void()> job) {
    {
      std::lock_guard lock(mutex_);
      if (idle_ > static_cast<int>(jobs_.size())) {
        jobs_.push_back(std::move(job));
        job_ready_.notify_one();
        return true;
      }
    }
    try {
      std::thread([this, job = std::move(job)]() mutable { serve(std::move(job)); }).detach();
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }

 private:
  static constexpr int kMaxIdle = 4;
  static constexpr std::chrono::seconds kIdleLife{30};

  void serve(std::function<void()> job) {
    for (;;) {
      job();
      job = nullptr;  // let go of what the job held before waiting
      std::unique_lock lock(mutex_);
      if (idle_ >= kMaxIdle) return;
      ++idle_;
      const bool got = job_ready_.wait_for(lock, kIdleLife, [this] { return !jobs_.empty(); });
      --idle_;
      if (!got) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
  }

  std::mutex mutex_;
  std::condition_variable job_ready_;
  std::deque<std::function<void()>> jobs_;
  int idle_ = 0;  // threads waiting for a job
};

WorkerThreads& worker_threads() {
  static WorkerThreads* instance = new WorkerThreads;
  return *instance;
}

void cancel_and_drain() {
  WorkerRegistry& r = registry();
  std::unique_lock lock(r.mutex);
  for (auto& state : r.live) state->cancelled = true;
  // A cancelled transfer notices its flag within about a second.
  r.emptied.wait_for(lock, std::chrono::seconds(3), [&] { return r.live.empty(); });
}

}  // namespace

WorkerOutcome run_worker(WorkerTask work, std::int64_t timeout_ms) {
  auto state = std::make_shared<WorkerState>();
  registry().add(state);
  const bool started = worker_threads().start([state, work = std::move(work)] {
    work(state->cancelled);
    // Off the list before the signal, so that a caller woken by it sees the worker gone.
    registry().remove(state);
    state->signal.set();
  });
  if (!started) {
    registry().remove(state);
    return WorkerOutcome::not_started;
  }

  const std::int32_t start = tick_count();
  const auto wait = std::chrono::milliseconds(timeout_ms > 0 ? timeout_ms : 0);
  bool timed_out = false;
  bool ended = false;
  for (;;) {
    ended = event_pump().wait_for_signal(state->signal, wait);
    // Unsigned difference: correct across the wrap of the 32-bit tick count.
    const auto elapsed = static_cast<std::uint32_t>(tick_count()) - static_cast<std::uint32_t>(start);
    timed_out = static_cast<std::int64_t>(elapsed) >= timeout_ms;
    pump_events();
    if (timed_out || ended) break;
  }
  if (timed_out) {
    state->cancelled = true;
    return WorkerOutcome::timed_out;
  }
  return WorkerOutcome::finished;
}

void drain_workers_at_exit() {
  static const bool registered = [] {
    registry();  // made before the handler can run
    return std::atexit(cancel_and_drain) == 0;
  }();
  (void)registered;
}

int live_worker_count() {
  WorkerRegistry& r = registry();
  std::lock_guard lock(r.mutex);
  return static_cast<int>(r.live.size());
}

}  // namespace vd
