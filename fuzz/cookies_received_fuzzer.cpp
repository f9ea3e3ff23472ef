// The cookies of a received header block, and the cookie-store lines made from them.
//
// Input: the host, then the header block.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "web/cookie_store.h"
#include "web/request_composition.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vd::fuzz::FuzzInput input(data, size);
  const std::string_view host = input.piece();
  const std::string_view header_block = input.rest();

  const vd::CookiesReceived received = vd::cookies_received(header_block);
  // Each Set-Cookie line gives at most its own value and a ";" to the text.
  VD_FUZZ_CHECK(received.text.size() <= header_block.size());
  for (const vd::ReceivedCookie& cookie : received.cookies) {
    VD_FUZZ_CHECK(!cookie.name.empty());
    // The name runs to the first "=", past a ";" when the first pair holds none; its first pair is in the
    // text all the same.
    VD_FUZZ_CHECK(received.text.find(cookie.name.substr(0, cookie.name.find(';'))) != std::string::npos);
    // The line goes into the store's cookie list as it stands: exactly seven fields, one line.
    const std::string line = vd::cookie_store_line(host, cookie, 1700000000);
    if (line.empty()) continue;
    VD_FUZZ_CHECK(std::count(line.begin(), line.end(), '\t') == 6);
    VD_FUZZ_CHECK(line.find_first_of("\r\n", 0) == std::string::npos);
    VD_FUZZ_CHECK(line.find('\0') == std::string::npos);
  }
  return 0;
}
