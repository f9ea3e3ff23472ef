// HTTP requests on a worker thread with a time-out, while the calling thread keeps handling events.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "text/numbers.h"

namespace vd {

// A response body is cut here and the rest discarded.
inline constexpr std::size_t default_body_limit = std::size_t{64} << 20;

// The optional parameters of web_request, in their order; each left as it is takes its default.
struct WebRequestOptions {
  int method = 0;                           // 1 selects POST, anything else GET
  std::string proxy;                        // used for URLs with the scheme http only; empty: direct
  std::string extra_headers;                // header lines, each ended by CR LF
  Bytes body;                               // POST body
  std::string cookies;                      // sent in a "Cookie: " line
  int timeout_seconds = 60;                 // the whole request
  std::string* response_headers = nullptr;  // receives the raw header block of the last response
  int conversion = 0;                       // 0 none, 1 UTF-8 to GBK, 2 Big5 to GBK simplified
  std::string* cookies_received = nullptr;  // receives "name=value;" for each cookie set
  bool allow_redirects = true;
  std::string* final_url = nullptr;  // receives the address of the last response (after redirects);
                                     // empty text when no response was had (no request, time-out)
  std::size_t body_limit = default_body_limit;  // bytes kept of the body; the rest is not read
};

// The response body (converted as asked); empty when no request could be made; the GBK bytes of the
// time-out message when the time-out ran out.
Bytes web_request(std::string_view url, const WebRequestOptions& options = {});

// GET with a 10-second time-out; the body up to its first zero byte, decoded to GBK when it declares
// UTF-8 (decode_mode 0), always (2) or never (other values).
std::string fetch_page(std::string_view url, std::string* page_text = nullptr, int decode_mode = 0,
                       std::string* final_url = nullptr);

// The time-out message, GBK.
const std::string& timeout_message();

}  // namespace vd
