#include "text/clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "text/gbk_literal.h"

namespace vd {

using namespace vd::literals;

DateTime local_now() {
  const std::time_t now = std::time(nullptr);  // whole seconds: the fraction is dropped
  std::tm local{};
  DateTime t;
  if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) return t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec;
  return t;
}

namespace {

void append_number(std::string& out, int value, const std::string& unit) {
  char digits[16];
  const int n = std::snprintf(digits, sizeof digits, "%d", value);
  if (n > 0) out.append(digits, static_cast<std::size_t>(n));
  out += unit;
}

}  // namespace

std::string datetime_text(const DateTime& t) {
  std::string out;
  append_number(out, t.year, "年"_gbk);
  append_number(out, t.month, "月"_gbk);
  append_number(out, t.day, "日"_gbk);
  // The time of day is written down to its last non-zero field.
  const int fields = t.second != 0 ? 3 : t.minute != 0 ? 2 : t.hour != 0 ? 1 : 0;
  if (fields >= 1) append_number(out, t.hour, "时"_gbk);
  if (fields >= 2) append_number(out, t.minute, "分"_gbk);
  if (fields >= 3) append_number(out, t.second, "秒"_gbk);
  return out;
}

std::int32_t tick_count() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  // Wraps like a 32-bit millisecond counter; the conversion to int32 is modular since C++20.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms.count()));
}

void sleep_for(int milliseconds) {
  if (milliseconds <= 0) return;
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace vd
