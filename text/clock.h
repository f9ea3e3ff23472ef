// Local time, the millisecond tick count and sleeping.
#pragma once

#include <cstdint>
#include <string>

namespace vd {

struct DateTime {
  int year = 1970;
  int month = 1;   // 1-12
  int day = 1;     // 1-31
  int hour = 0;    // 0-23
  int minute = 0;
  int second = 0;
};

// The local date and time, to the whole second.
DateTime local_now();
// "2013年5月14日" followed by the time of day down to its last non-zero field, in GBK.
std::string datetime_text(const DateTime& t);
// Milliseconds of a monotonic clock, as an unsigned 32-bit counter read as signed (it wraps).
std::int32_t tick_count();
// Blocks the calling thread; a negative count is 0. Handles no events.
void sleep_for(int milliseconds);

}  // namespace vd
