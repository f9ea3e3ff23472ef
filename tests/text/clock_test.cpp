#include "text/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ctime>

#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;

TEST(DatetimeText, WritesTheTimeOfDayDownToItsLastNonZeroField) {
  struct Case {
    DateTime t;
    const std::string& expected;
  };
  const Case cases[] = {
      {{2013, 5, 14, 8, 33, 45}, "2013年5月14日8时33分45秒"_gbk},
      {{2013, 5, 14, 8, 33, 0}, "2013年5月14日8时33分"_gbk},
      {{2013, 5, 14, 8, 0, 0}, "2013年5月14日8时"_gbk},
      {{2013, 5, 14, 0, 0, 0}, "2013年5月14日"_gbk},
      {{2013, 5, 14, 0, 0, 5}, "2013年5月14日0时0分5秒"_gbk},
      {{2013, 5, 14, 0, 7, 0}, "2013年5月14日0时7分"_gbk},
      {{2013, 5, 14, 9, 5, 7}, "2013年5月14日9时5分7秒"_gbk},
      {{2013, 12, 31, 23, 59, 59}, "2013年12月31日23时59分59秒"_gbk},
      {{2024, 1, 1, 10, 0, 1}, "2024年1月1日10时0分1秒"_gbk},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(datetime_text(c.t), c.expected) << c.t.hour << ":" << c.t.minute << ":" << c.t.second;
  }
}

TEST(DatetimeText, IsGbkBytes) {
  // 年 C4EA, 月 D4C2, 日 C8D5, 时 CAB1, 分 B7D6, 秒 C3EB in GBK.
  EXPECT_EQ(datetime_text({2013, 5, 14, 9, 5, 7}),
            "2013\xC4\xEA"
            "5\xD4\xC2"
            "14\xC8\xD5"
            "9\xCA\xB1"
            "5\xB7\xD6"
            "7\xC3\xEB");
}

bool same_time(const DateTime& t, const std::tm& local) {
  return t.year == local.tm_year + 1900 && t.month == local.tm_mon + 1 && t.day == local.tm_mday &&
         t.hour == local.tm_hour && t.minute == local.tm_min && t.second == local.tm_sec;
}

TEST(LocalNow, IsTheLocalTimeOfTheSystemClockInWholeSeconds) {
  const std::time_t before = std::time(nullptr);
  const DateTime now = local_now();
  const std::time_t after = std::time(nullptr);
  bool matched = false;
  for (std::time_t second = before; second <= after && !matched; ++second) {
    std::tm local{};
    ASSERT_NE(localtime_r(&second, &local), nullptr);
    matched = same_time(now, local);
  }
  EXPECT_TRUE(matched) << now.year << "-" << now.month << "-" << now.day << " " << now.hour << ":"
                       << now.minute << ":" << now.second;
}

TEST(TickCount, AdvancesInMillisecondsAcrossASleep) {
  const std::int32_t start = tick_count();
  const auto steady_start = std::chrono::steady_clock::now();
  sleep_for(30);
  const std::int32_t end = tick_count();
  const auto steady_ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - steady_start)
          .count();
  // Differences are taken as the counter does, modulo 2^32.
  const std::uint32_t elapsed = static_cast<std::uint32_t>(end) - static_cast<std::uint32_t>(start);
  EXPECT_GE(elapsed, 30u);
  EXPECT_LE(elapsed, static_cast<std::uint32_t>(steady_ms) + 1);
}

TEST(SleepFor, TakesZeroAndNegativeCountsAsNoWait) {
  // A negative count turned into a huge unsigned one would hang here.
  sleep_for(0);
  sleep_for(-1);
  sleep_for(-2147483647 - 1);
  SUCCEED();
}

}  // namespace
}  // namespace vd
