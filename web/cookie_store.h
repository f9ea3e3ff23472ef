// The process-wide cookie store that every page request shares.
//
// Transfers that use the store read and write it through libcurl's cookie engine (a share handle with
// its own locks, so it is safe from any thread). A transfer that carries explicit cookies leaves the
// store alone while it runs; the cookies its response set are put in afterwards under "http://" and the
// request's host. Cookies live as long as the process.
#pragma once

#include <curl/curl.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "web/request_composition.h"

namespace vd {

// The share handle to attach to a transfer that uses the store; nullptr when it could not be made.
CURLSH* cookie_share();

// The cookie as a line of the store (Netscape cookie-file form: domain, subdomains, path, secure,
// expiry, name, value, tab-separated) for a cookie set by host. Attributes read: domain (must be host or
// a parent of it, else the cookie is refused), path (default "/"), secure, max-age and expires (seconds
// after the epoch; no expiry: 0, a session cookie). Empty text when the cookie is refused. Pure.
std::string cookie_store_line(std::string_view host, const ReceivedCookie& cookie, std::int64_t now);

// Puts the cookies into the store as set by the host. False when the store could not take them.
bool store_cookies(std::string_view host, const std::vector<ReceivedCookie>& cookies);

// The store's cookies as lines (the form of cookie_store_line); for tests and diagnostics.
std::vector<std::string> cookie_store_lines();
// Empties the store.
void clear_cookie_store();

}  // namespace vd
