#include "web/url_pieces.h"

#include <cmath>
#include <limits>

#include "text/numbers.h"
#include "text/text_ops.h"

namespace vd {

namespace {

constexpr std::string_view http_scheme = "http://";
constexpr std::string_view https_scheme = "https://";

std::int32_t truncate_to_int32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(x);  // truncates toward zero
}

}  // namespace

std::string with_scheme_prefix(std::string_view url) {
  if (url.starts_with(http_scheme) || url.starts_with(https_scheme)) return std::string(url);
  return std::string(http_scheme) + std::string(url);
}

bool url_is_secure(std::string_view url) { return find_part(ascii_lower(url), https_scheme) != -1; }

std::string url_host(std::string_view url) {
  std::string host = replace_parts(url, https_scheme);
  host = replace_parts(host, http_scheme);
  int slash = find_part(host, "/");
  if (slash != -1) host = leading_bytes(host, slash - 1);
  int colon = find_part(host, ":");
  if (colon != -1) host = leading_bytes(host, colon - 1);
  return ascii_lower(host);
}

std::string url_path(std::string_view url) {
  int host_at = find_part(url, url_host(url), 1, true);
  if (host_at == -1) return "/";
  int slash = find_part(url, "/", host_at);
  if (slash == -1) return "/";
  return std::string(url.substr(static_cast<std::size_t>(slash - 1)));
}

std::int32_t url_port(std::string_view url) {
  std::string authority;
  if (compare_texts(leading_bytes(url, 7), http_scheme, false) == 0) {
    int slash = find_part(url, "/", 8);
    authority = slash == -1 ? std::string(url.substr(7)) : middle_bytes(url, 8, slash - 8);
  } else {
    int slash = find_part(url, "/");
    authority = slash == -1 ? std::string(url) : leading_bytes(url, slash - 1);
  }
  int colon = find_part(authority, ":");
  if (colon == -1) return 80;
  return truncate_to_int32(parse_real(std::string_view(authority).substr(static_cast<std::size_t>(colon))));
}

}  // namespace vd
