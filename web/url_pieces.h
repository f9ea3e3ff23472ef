// The pieces of a URL that a request needs, cut out by a few fixed searches rather than by a URL parser.
//
// URLs are GBK text. The searches only find text at character boundaries. These rules are kept exactly,
// including where they differ from a parser (a scheme in capitals gains a second scheme, user information
// is taken for the host, a query right after the host stays part of the host). Pure functions, any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vd {

// "http://" put in front unless the URL starts with exactly "http://" or "https://" (case matters).
std::string with_scheme_prefix(std::string_view url);

// True when "https://" occurs anywhere in the URL, letter case ignored.
bool url_is_secure(std::string_view url);

// Every "https://" and then every "http://" removed; the text before the first "/", then before the
// first ":"; lower-cased.
std::string url_host(std::string_view url);

// From the first "/" at or after the host's first occurrence (case ignored) to the end, query and
// fragment included; "/" when there is none.
std::string url_path(std::string_view url);

// The number after the first ":" of the authority, truncated toward zero (0 when no number reads there);
// 80 when the authority has no ":". Meaningful only for URLs that are not secure. Saturates at the
// bounds of the 32-bit range.
std::int32_t url_port(std::string_view url);

}  // namespace vd
