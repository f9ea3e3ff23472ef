// Percent-encoding of GBK text for the query of a search address.
#pragma once

#include <string>
#include <string_view>

namespace vd {

// The UTF-8 bytes of the GBK text, each written as "%" and two upper-case hex digits. With
// keep_plain, the bytes "," "-" "." "/" 0-9 A-Z a-z stay as they are. The result is ASCII.
// Handles the pending events (pump_events) after each byte, so call it on the main thread.
std::string percent_encode(std::string_view text, bool keep_plain = false);

}  // namespace vd
