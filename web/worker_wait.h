// Running a piece of work on a worker thread while the calling thread waits for it with a time-out and
// keeps handling its events.
//
// Ownership: the work must own everything it touches (capture shared_ptrs, not references to the
// caller's locals), since a worker that is still running at the time-out is abandoned: its cancel flag
// is set and its thread detached, and the caller returns at once. The flag lives as long as the worker.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace vd {

enum class WorkerOutcome { finished, timed_out, not_started };

// The work polls `cancelled` and should stop soon after it becomes true.
using WorkerTask = std::function<void(const std::atomic<bool>& cancelled)>;

// Starts the work on a worker thread (a new one, or one that ended earlier work and waits for more) and
// waits: the event pump's wait for the worker's signal with
// the whole time-out each time, then the elapsed time read from tick_count, then pump_events(). The
// request has timed out as soon as the elapsed time reaches the time-out, even when the worker ended at
// that moment. A time-out of 0 or less times out at the first wake-up. Call on the main thread.
WorkerOutcome run_worker(WorkerTask work, std::int64_t timeout_ms);

// Registers, once, an exit handler that cancels every worker still running and gives them a short while
// to end, so that no transfer is half-way through a library that the process tears down at exit.
void drain_workers_at_exit();

// Workers started and not yet ended, abandoned ones included.
int live_worker_count();

}  // namespace vd
