#include "collect/run_timing.h"

#include <gtest/gtest.h>

#include <chrono>

#include "tests/collect/collect_fakes.h"

namespace vd {
namespace {

using namespace vd::literals;

TEST(FormatElapsed, UnitIsChosenBeforeRounding) {
  constexpr std::int64_t kMinute = 60'000, kDay = 24 * 60 * kMinute;
  const std::pair<std::int64_t, std::string> cases[] = {
      {0, "0 毫秒"_gbk},
      {999, "999 毫秒"_gbk},
      {1000, "1 秒"_gbk},
      {1234, "1.23 秒"_gbk},
      {1235, "1.24 秒"_gbk},
      {kMinute - 1, "60 秒"_gbk},
      {kMinute, "1 分"_gbk},
      {kMinute * 3 / 2, "1.5 分"_gbk},
      {60 * kMinute, "1 时"_gbk},
      {kDay, "1 天"_gbk},
      {30 * kDay, "1 月"_gbk},
      {360 * kDay, "1 年"_gbk},
      {720 * kDay, "2 年"_gbk},
      {-5, "-5 毫秒"_gbk},
      {-100000, "-100000 毫秒"_gbk},
  };
  for (const auto& [ms, text] : cases) {
    EXPECT_EQ(format_elapsed(ms), text) << ms;
  }
}

TEST(WaitWithStop, NoWaitForZeroOrLess) {
  test::CountingPump pump;
  bool stop = false;
  wait_with_stop(0, stop);
  wait_with_stop(-1000, stop);
  EXPECT_EQ(pump.pumps, 0);
}

TEST(WaitWithStop, HandlesEventsEachStepAndEndsWhenTheFlagIsSet) {
  test::CountingPump pump;
  bool stop = false;
  pump.on_pump = [&](int n) {
    if (n == 3) stop = true;
  };
  wait_with_stop(60'000, stop);
  EXPECT_EQ(pump.pumps, 3);

  pump.pumps = 0;
  wait_with_stop(60'000, stop);  // set before the wait: no step at all
  EXPECT_EQ(pump.pumps, 0);
}

TEST(WaitWithStop, WaitsInTenMillisecondSteps) {
  test::CountingPump pump;
  bool stop = false;
  const auto before = std::chrono::steady_clock::now();
  wait_with_stop(45, stop);
  EXPECT_EQ(pump.pumps, 5);
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(50));
}

}  // namespace
}  // namespace vd
