#include "web/cookie_store.h"

#include <cstdlib>
#include <ctime>
#include <mutex>

#include "text/text_ops.h"
#include "web/curl_handle.h"

namespace vd {

namespace {

struct CookieShare {
  CURLSH* share = nullptr;
  std::mutex locks[CURL_LOCK_DATA_LAST];
};

void lock_share(CURL*, curl_lock_data data, curl_lock_access, void* user) {
  static_cast<CookieShare*>(user)->locks[data].lock();
}

void unlock_share(CURL*, curl_lock_data data, void* user) {
  static_cast<CookieShare*>(user)->locks[data].unlock();
}

// Made once and never released: abandoned workers may use it while the process ends.
CookieShare* make_share() {
  if (!curl_ready()) return nullptr;
  auto* owner = new CookieShare;
  owner->share = curl_share_init();
  if (owner->share == nullptr) return owner;
  bool ok = curl_share_setopt(owner->share, CURLSHOPT_LOCKFUNC, lock_share) == CURLSHE_OK &&
            curl_share_setopt(owner->share, CURLSHOPT_UNLOCKFUNC, unlock_share) == CURLSHE_OK &&
            curl_share_setopt(owner->share, CURLSHOPT_USERDATA, owner) == CURLSHE_OK &&
            curl_share_setopt(owner->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE) == CURLSHE_OK;
  if (!ok) {
    curl_share_cleanup(owner->share);
    owner->share = nullptr;
  }
  return owner;
}

std::string_view strip_blanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool fits_line(std::string_view text) {
  for (unsigned char c : text)
    if (c < ' ' || c == 0x7f) return false;
  return true;
}

bool parse_seconds(std::string_view text, std::int64_t& seconds) {
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 12) return false;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  seconds = negative ? -value : value;
  return true;
}

// A handle attached to the store, for changing it outside a transfer.
CurlHandle store_handle() {
  CURLSH* share = cookie_share();
  if (share == nullptr) return {};
  CurlHandle handle = CurlHandle::make();
  if (!handle) return {};
  CurlOptions options(handle.get());
  options.set(CURLOPT_SHARE, share).set(CURLOPT_COOKIEFILE, "");
  if (!options.ok()) return {};
  return handle;
}

}  // namespace

CURLSH* cookie_share() {
  static CookieShare* owner = make_share();
  return owner != nullptr ? owner->share : nullptr;
}

std::string cookie_store_line(std::string_view host, const ReceivedCookie& cookie, std::int64_t now) {
  std::string_view name = strip_blanks(cookie.name);
  std::string_view data = cookie.data;
  std::size_t semicolon = data.find(';');
  std::string_view value = strip_blanks(data.substr(0, semicolon));
  std::string_view attributes =
      semicolon == std::string_view::npos ? std::string_view() : data.substr(semicolon + 1);
  if (host.empty() || name.empty() || !fits_line(host) || !fits_line(name) || !fits_line(value)) return {};

  std::string domain = ascii_lower(host);
  bool subdomains = false;
  std::string path = "/";
  bool secure = false;
  std::int64_t expiry = 0;
  bool has_max_age = false;
  while (!attributes.empty()) {
    std::size_t end = attributes.find(';');
    std::string_view attribute = strip_blanks(attributes.substr(0, end));
    attributes = end == std::string_view::npos ? std::string_view() : attributes.substr(end + 1);
    std::size_t equals = attribute.find('=');
    std::string key = ascii_lower(strip_blanks(attribute.substr(0, equals)));
    std::string_view argument =
        equals == std::string_view::npos ? std::string_view() : strip_blanks(attribute.substr(equals + 1));
    if (key == "domain" && !argument.empty()) {
      if (argument.front() == '.') argument.remove_prefix(1);
      std::string wanted = ascii_lower(argument);
      std::string own = ascii_lower(host);
      bool parent =
          own.size() > wanted.size() && own.ends_with(wanted) && own[own.size() - wanted.size() - 1] == '.';
      if (wanted.empty() || (wanted != own && !parent)) return {};
      domain = wanted;
      subdomains = true;
    } else if (key == "path" && !argument.empty() && argument.front() == '/' && fits_line(argument)) {
      path = std::string(argument);
    } else if (key == "secure") {
      secure = true;
    } else if (key == "max-age") {
      std::int64_t seconds = 0;
      if (parse_seconds(argument, seconds)) {
        has_max_age = true;
        expiry = seconds <= 0 ? 1 : now + seconds;  // 1: long past, the cookie is removed
      }
    } else if (key == "expires" && !has_max_age) {
      std::string date(argument);
      time_t when = curl_getdate(date.c_str(), nullptr);
      if (when != -1) expiry = when <= 0 ? 1 : static_cast<std::int64_t>(when);
    }
  }
  return domain + "\t" + (subdomains ? "TRUE" : "FALSE") + "\t" + path + "\t" + (secure ? "TRUE" : "FALSE") +
         "\t" + std::to_string(expiry) + "\t" + std::string(name) + "\t" + std::string(value);
}

bool store_cookies(std::string_view host, const std::vector<ReceivedCookie>& cookies) {
  if (cookies.empty()) return true;
  CurlHandle handle = store_handle();
  if (!handle) return false;
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  bool ok = true;
  for (const auto& cookie : cookies) {
    std::string line = cookie_store_line(host, cookie, now);
    if (line.empty()) continue;
    if (curl_easy_setopt(handle.get(), CURLOPT_COOKIELIST, line.c_str()) != CURLE_OK) ok = false;
  }
  return ok;
}

std::vector<std::string> cookie_store_lines() {
  std::vector<std::string> lines;
  CurlHandle handle = store_handle();
  if (!handle) return lines;
  curl_slist* list = nullptr;
  if (curl_easy_getinfo(handle.get(), CURLINFO_COOKIELIST, &list) != CURLE_OK) return lines;
  // The client drops expired cookies lazily, on its next change of the store; they are never sent.
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  for (curl_slist* item = list; item != nullptr; item = item->next) {
    std::string line = item->data;
    std::size_t expiry_at = 0;
    for (int field = 0; field < 4 && expiry_at != std::string::npos; ++field) {
      expiry_at = line.find('\t', expiry_at);
      if (expiry_at != std::string::npos) ++expiry_at;
    }
    if (expiry_at != std::string::npos) {
      std::int64_t expiry = std::strtoll(line.c_str() + expiry_at, nullptr, 10);
      if (expiry != 0 && expiry < now) continue;
    }
    lines.push_back(std::move(line));
  }
  curl_slist_free_all(list);
  return lines;
}

void clear_cookie_store() {
  CurlHandle handle = store_handle();
  if (handle) curl_easy_setopt(handle.get(), CURLOPT_COOKIELIST, "ALL");
}

}  // namespace vd
