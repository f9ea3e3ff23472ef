// Owners of libcurl's handles, and the one-time global set-up.
//
// libcurl is initialised once for the process and never cleaned up: abandoned request workers may still
// be inside a transfer when the program ends. Not part of the web layer's public interface.
#pragma once

#include <curl/curl.h>

#include <string>
#include <utility>
#include <vector>

namespace vd {

// Initialises libcurl on the first call (thread-safe); false when that failed.
bool curl_ready();

// One easy handle. Movable, not copyable.
class CurlHandle {
 public:
  // A new handle, or an empty owner when libcurl could not make one.
  static CurlHandle make();
  CurlHandle() = default;
  ~CurlHandle();
  CurlHandle(CurlHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  CurlHandle& operator=(CurlHandle&& other) noexcept;
  CurlHandle(const CurlHandle&) = delete;
  CurlHandle& operator=(const CurlHandle&) = delete;

  CURL* get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  explicit CurlHandle(CURL* handle) : handle_(handle) {}
  CURL* handle_ = nullptr;
};

// A curl_slist of text entries. Movable, not copyable. The list must outlive the transfer that uses it.
class CurlList {
 public:
  CurlList() = default;
  ~CurlList();
  CurlList(CurlList&& other) noexcept : list_(std::exchange(other.list_, nullptr)) {}
  CurlList& operator=(CurlList&& other) noexcept;
  CurlList(const CurlList&) = delete;
  CurlList& operator=(const CurlList&) = delete;

  // False when the entry could not be added (out of memory, or an entry with a zero byte).
  bool append(const std::string& entry);
  bool append_all(const std::vector<std::string>& entries);
  curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
};

// Collects the results of a series of curl_easy_setopt calls: one failure marks the whole set-up failed.
class CurlOptions {
 public:
  explicit CurlOptions(CURL* handle) : handle_(handle) {}
  template <typename T>
  CurlOptions& set(CURLoption option, T value) {
    if (curl_easy_setopt(handle_, option, value) != CURLE_OK) ok_ = false;
    return *this;
  }
  bool ok() const { return ok_; }

 private:
  CURL* handle_;
  bool ok_ = true;
};

// The address handed to curl: each space written as %20, every other byte as it stands.
std::string curl_address(std::string_view url);

}  // namespace vd
