#include "text/event_pump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vd {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(WorkerSignal, WakesAWaiterWhenSetFromAnotherThread) {
  auto signal = std::make_shared<WorkerSignal>();
  std::thread worker([signal] {
    std::this_thread::sleep_for(10ms);
    signal->set();
  });
  // The deadline is far off: only the set can end this wait in time for the test.
  EXPECT_TRUE(signal->wait_until(Clock::now() + 60s));
  EXPECT_TRUE(signal->is_set());
  worker.join();
}

TEST(WorkerSignal, WaitEndsFalseAtTheDeadlineWhenNeverSet) {
  WorkerSignal signal;
  const auto start = Clock::now();
  EXPECT_FALSE(signal.wait_until(start + 20ms));
  EXPECT_GE(Clock::now() - start, 20ms);
  EXPECT_FALSE(signal.is_set());
}

TEST(WorkerSignal, WaitAfterSetIsTrueEvenWithADeadlinePassed) {
  WorkerSignal signal;
  signal.set();
  EXPECT_TRUE(signal.wait_until(Clock::now() - 1s));
}

TEST(WorkerSignal, RunsTheWakeOnceOnTheSettingThread) {
  auto signal = std::make_shared<WorkerSignal>();
  std::atomic<int> calls{0};
  std::thread::id wake_thread;
  signal->on_set([&] {
    ++calls;
    wake_thread = std::this_thread::get_id();
  });
  std::thread::id setter;
  std::thread worker([&, signal] {
    setter = std::this_thread::get_id();
    signal->set();
    signal->set();
  });
  worker.join();
  signal->set();
  EXPECT_EQ(calls.load(), 1);
  EXPECT_EQ(wake_thread, setter);
}

TEST(WorkerSignal, TheWakeSeesTheFlagSet) {
  WorkerSignal signal;
  bool seen = false;
  signal.on_set([&] { seen = signal.is_set(); });
  signal.set();
  EXPECT_TRUE(seen);
}

TEST(WorkerSignal, AWakeInstalledAfterTheSetIsNotRun) {
  WorkerSignal signal;
  signal.set();
  bool called = false;
  signal.on_set([&] { called = true; });
  signal.set();
  EXPECT_FALSE(called);
  EXPECT_TRUE(signal.is_set());
}

TEST(WorkerSignal, AReplacedOrClearedWakeIsNotRun) {
  WorkerSignal signal;
  std::vector<std::string> calls;
  signal.on_set([&] { calls.push_back("first"); });
  signal.on_set([&] { calls.push_back("second"); });
  signal.set();
  EXPECT_EQ(calls, std::vector<std::string>{"second"});

  WorkerSignal cleared;
  bool called = false;
  cleared.on_set([&] { called = true; });
  cleared.on_set(nullptr);
  cleared.set();
  EXPECT_FALSE(called);
}

// The waiting side clears its wake before it destroys what the wake refers to; that clear must not return
// while the wake is still running on the worker.
TEST(WorkerSignal, ClearingTheWakeWaitsForARunningWake) {
  auto signal = std::make_shared<WorkerSignal>();
  std::mutex order_mutex;
  std::vector<std::string> order;
  auto note = [&](const char* what) {
    std::lock_guard<std::mutex> lock(order_mutex);
    order.push_back(what);
  };
  std::promise<void> entered;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  signal->on_set([&, released] {
    entered.set_value();
    released.wait();
    note("wake returns");
  });
  std::thread worker([signal] { signal->set(); });
  entered.get_future().wait();

  std::thread clearer([&] {
    signal->on_set(nullptr);
    note("clear returns");
  });
  std::this_thread::sleep_for(20ms);  // give a faulty clear the chance to return early
  note("released");
  release.set_value();
  clearer.join();
  worker.join();
  EXPECT_EQ(order, (std::vector<std::string>{"released", "wake returns", "clear returns"}));
}

TEST(PlainEventPump, WaitsForTheSignalOrTheTimeout) {
  PlainEventPump pump;
  auto signal = std::make_shared<WorkerSignal>();
  std::thread worker([signal] {
    std::this_thread::sleep_for(10ms);
    signal->set();
  });
  EXPECT_TRUE(pump.wait_for_signal(*signal, 60s));
  worker.join();

  WorkerSignal never;
  const auto start = Clock::now();
  EXPECT_FALSE(pump.wait_for_signal(never, 20ms));
  EXPECT_GE(Clock::now() - start, 20ms);
  EXPECT_FALSE(pump.wait_for_signal(never, -5ms));
  EXPECT_FALSE(pump.wait_for_signal(never, 0ms));
}

class CountingPump final : public EventPump {
 public:
  void pump_events() override { ++pumped; }
  bool wait_for_signal(WorkerSignal& signal, std::chrono::milliseconds) override {
    ++waits;
    return signal.is_set();
  }
  int pumped = 0;
  int waits = 0;
};

TEST(EventPumpHook, ReachesTheInstalledPumpUntilItIsRemoved) {
  EXPECT_NE(dynamic_cast<PlainEventPump*>(&event_pump()), nullptr);
  pump_events();  // the plain pump has nothing to do and returns

  CountingPump counting;
  install_event_pump(&counting);
  pump_events();
  pump_events();
  WorkerSignal signal;
  signal.set();
  EXPECT_TRUE(event_pump().wait_for_signal(signal, 1s));
  EXPECT_EQ(counting.pumped, 2);
  EXPECT_EQ(counting.waits, 1);

  install_event_pump(nullptr);
  pump_events();
  EXPECT_EQ(counting.pumped, 2);
  EXPECT_NE(dynamic_cast<PlainEventPump*>(&event_pump()), nullptr);
}

}  // namespace
}  // namespace vd
