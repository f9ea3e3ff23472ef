#include "collect/run_timing.h"

#include "text/clock.h"
#include "text/event_pump.h"
#include "text/gbk_literal.h"
#include "text/numbers.h"

namespace vd {

using namespace vd::literals;

void wait_with_stop(std::int32_t milliseconds, const bool& stop) {
  constexpr std::int32_t kStep = 10;
  for (std::int64_t waited = 0; waited < milliseconds && !stop; waited += kStep) {
    sleep_for(kStep);
    pump_events();
  }
}

namespace {

struct ElapsedUnit {
  double divisor;    // from the previous row's unit to this one
  double limit;      // the value stays in this unit while below the limit; 0: no limit
  std::string name;  // GBK, with its leading space
};

// Under a test with a small tolerance, so that values that sit just below a limit by representation
// error do not move up a unit.
bool below(double v, double limit) { return v - limit < -0.0000001; }

}  // namespace

std::string format_elapsed(std::int64_t milliseconds) {
  static const ElapsedUnit kUnits[] = {
      {1, 1000, " 毫秒"_gbk}, {1000, 60, " 秒"_gbk}, {60, 60, " 分"_gbk}, {60, 24, " 时"_gbk},
      {24, 30, " 天"_gbk},    {30, 12, " 月"_gbk},   {12, 0, " 年"_gbk},
  };
  double v = static_cast<double>(milliseconds);
  for (const ElapsedUnit& unit : kUnits) {
    v /= unit.divisor;
    if (unit.limit == 0 || below(v, unit.limit)) return real_text(round_half_away(v, 2)) + unit.name;
  }
  return {};  // not reached: the last row has no limit
}

}  // namespace vd
