// Turning response bodies into GBK text: the charset test of fetched pages and the body conversions
// that a request can ask for.
#pragma once

#include <string>
#include <string_view>

#include "text/numbers.h"

namespace vd {

// decode_mode 0: converts from UTF-8 to GBK when the text contains "charset=utf-8" or
// charset="utf-8" anywhere, letter case ignored (only the body is looked at, never a header);
// 2: always converts from UTF-8; any other value: the text unchanged.
std::string decode_page_text(std::string_view text, int decode_mode = 0);

// conversion 1: the body up to its first zero byte, from UTF-8 to GBK without composing combining
// marks; 2: the same from Big5 to GBK with simplified characters; any other value: the body as it is.
Bytes convert_body(std::string_view body, int conversion);

}  // namespace vd
