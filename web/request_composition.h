// What a page request puts on the wire besides the request line: the user agent, the request flags and
// what they mean for the transfer, the header text added to the caller's lines, and the cookies taken
// from a response's header block. Pure functions on GBK text; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vd {

// The request flags, with the values of the classic Windows HTTP client they stand for.
enum RequestFlag : std::uint32_t {
  flag_reload = 0x80000000u,                    // never answered from a cache (we keep none)
  flag_need_file = 0x00000010u,                 // nothing on the wire
  flag_no_cookies = 0x00080000u,                // the cookie store is neither read nor written
  flag_no_auto_redirect = 0x00200000u,          // a redirect response is returned itself
  flag_ignore_redirect_to_https = 0x00004000u,  // http to https redirects followed like any other
  flag_secure = 0x00800000u,                    // TLS; replaces the whole word
};

// The flag word for a request: reload and need-file, no-cookies when the trimmed cookie text is not
// empty, no-auto-redirect when redirects are not allowed; then secure alone for a secure URL, else
// ignore-redirect-to-https added.
std::uint32_t request_flags(bool secure, std::string_view cookies, bool allow_redirects);

// How the transfer behaves under a flag word.
struct TransferRules {
  bool tls = false;
  bool use_cookie_store = true;  // the store's cookies go out and the response's cookies go in
  bool follow_redirects = true;
};
TransferRules transfer_rules(std::uint32_t flags);

// "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR ...)"
const std::string& default_user_agent();

// The trimmed text between the first "User-Agent:" (case ignored) and the first CR LF after it; empty
// when no CR LF follows; the default agent when the text has no "User-Agent:".
std::string user_agent(std::string_view extra_headers);

struct HeaderInput {
  std::string_view extra_headers;  // the caller's lines, each ended by CR LF
  std::string_view url;            // the request URL after the scheme prefix rule (the Referer)
  bool post = false;
  std::string_view body;     // POST only
  std::string_view cookies;  // sent in a Cookie line when not empty (not trimmed for this test)
};

// The caller's lines followed by the Accept, Referer, Accept-Language, and for POST the Content-Type and
// Content-Length lines, each where its condition holds, then the Cookie line (followed by an empty line).
// A "RefererNo" marker is removed once and suppresses the Referer line.
std::string compose_header_text(const HeaderInput& input);

// The header text as entries for the HTTP client: one per non-empty line, in order. A line whose value is
// blank goes out as "Name:" with nothing after it. Entries that stop the client from adding lines of its
// own (Accept, Expect, and for POST Content-Type and Content-Length) are added for each such name that
// the text does not carry.
std::vector<std::string> client_header_entries(std::string_view header_text, bool post);

struct ReceivedCookie {
  std::string name;  // the text before the first "="
  std::string data;  // the text after that "=", attributes included
};

struct CookiesReceived {
  std::string text;  // "name=value;" for each cookie, in the block's order
  std::vector<ReceivedCookie> cookies;
};

// The cookies of every "Set-Cookie:" line (name matched without case, at the start of a line) of a raw
// header block. A value without ";" counts whole.
CookiesReceived cookies_received(std::string_view header_block);

}  // namespace vd
