// The pause between pages and the text of an elapsed time.
#pragma once

#include <cstdint>
#include <string>

namespace vd {

// Waits in 10 ms steps, handling pending events after each step, until milliseconds have passed or stop
// is set (tested before each step, so an event handler that sets it during the wait cuts the wait
// short). A duration of 0 or less does not wait. Main thread only.
void wait_with_stop(std::int32_t milliseconds, const bool& stop);

// "999 毫秒", "1.23 秒", "1.5 分", "1 天", ... (GBK): the largest unit under which the value stays below
// the unit's limit, rounded to 2 places, halves away from zero. A negative count stays in milliseconds.
std::string format_elapsed(std::int64_t milliseconds);

}  // namespace vd
