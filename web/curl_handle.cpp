#include "web/curl_handle.h"

#include <mutex>

#include "web/worker_wait.h"

namespace vd {

bool curl_ready() {
  static const bool ready = [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return false;
    // Registered after libcurl's TLS library has registered its own exit handler, so that it runs first
    // and lets abandoned transfers end before that library tears its state down.
    drain_workers_at_exit();
    return true;
  }();
  return ready;
}

CurlHandle CurlHandle::make() {
  if (!curl_ready()) return {};
  return CurlHandle(curl_easy_init());
}

CurlHandle::~CurlHandle() {
  if (handle_ != nullptr) curl_easy_cleanup(handle_);
}

CurlHandle& CurlHandle::operator=(CurlHandle&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr) curl_easy_cleanup(handle_);
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

CurlList::~CurlList() { curl_slist_free_all(list_); }

CurlList& CurlList::operator=(CurlList&& other) noexcept {
  if (this != &other) {
    curl_slist_free_all(list_);
    list_ = std::exchange(other.list_, nullptr);
  }
  return *this;
}

bool CurlList::append(const std::string& entry) {
  if (entry.find('\0') != std::string::npos) return false;
  curl_slist* grown = curl_slist_append(list_, entry.c_str());
  if (grown == nullptr) return false;
  list_ = grown;
  return true;
}

bool CurlList::append_all(const std::vector<std::string>& entries) {
  for (const auto& entry : entries)
    if (!append(entry)) return false;
  return true;
}

std::string curl_address(std::string_view url) {
  std::string address;
  address.reserve(url.size());
  for (char c : url) {
    if (c == ' ')
      address += "%20";
    else
      address += c;
  }
  return address;
}

}  // namespace vd
