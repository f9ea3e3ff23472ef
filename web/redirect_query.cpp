#include "web/redirect_query.h"

#include <atomic>
#include <memory>

#include "web/connect_to.h"
#include "web/curl_handle.h"
#include "web/worker_wait.h"

namespace vd {

namespace {

// The four header lines, in their order. The client adds only its Host line.
const std::vector<std::string> query_headers = {
    "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)",
    "Accept-Language: zh-cn",
    "Connection: Keep-Alive",
    "Accept: image/gif, image/x-xbitmap, image/jpeg, imagepeg, application/x-shockwave-flash, "
    "application/x-silverlight, */*",
};

// 5 s to resolve plus 5 s to connect; 10 s to send and 5 s to receive bound the rest.
constexpr long connect_timeout_ms = 10000;
constexpr long receive_silence_s = 5;
constexpr long whole_query_ms = 5000 + 5000 + 10000 + 5000;
// The wait outlasts the client's own time-outs, which decide.
constexpr std::int64_t wait_ms = whole_query_ms + 5000;

struct Query {
  std::string url;
  std::string header_block;  // of the last response read
};

struct Transfer {
  Query& query;
  const std::atomic<bool>& cancelled;
};

size_t on_header(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) t.query.header_block.clear();
  t.query.header_block += line;
  return size * count;
}

// The body is not wanted: stop at its first bytes.
size_t on_body(char*, size_t, size_t, void*) { return 0; }

int on_progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<Transfer*>(user)->cancelled.load() ? 1 : 0;
}

bool has_scheme(std::string_view url) {
  auto starts = [&](std::string_view scheme) {
    if (url.size() < scheme.size()) return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
      char c = url[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      if (c != scheme[i]) return false;
    }
    return true;
  };
  return starts("http://") || starts("https://");
}

void run_query(Query& query, const std::atomic<bool>& cancelled) {
  if (!has_scheme(query.url)) return;
  CurlHandle handle = CurlHandle::make();
  if (!handle) return;
  CurlList headers;
  CurlList connect_to;
  if (!headers.append_all(query_headers) || !connect_to.append_all(connect_to_entries())) return;
  const std::string address = curl_address(query.url);
  Transfer transfer{query, cancelled};
  CurlOptions options(handle.get());
  options.set(CURLOPT_URL, address.c_str())
      .set(CURLOPT_PROTOCOLS_STR, "http,https")
      .set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1))
      .set(CURLOPT_NOSIGNAL, 1L)
      .set(CURLOPT_HTTPGET, 1L)
      .set(CURLOPT_FOLLOWLOCATION, 0L)
      .set(CURLOPT_HTTPHEADER, headers.get())
      .set(CURLOPT_CONNECT_TO, connect_to.get())
      .set(CURLOPT_PROXY, "")
      .set(CURLOPT_CONNECTTIMEOUT_MS, connect_timeout_ms)
      .set(CURLOPT_LOW_SPEED_LIMIT, 1L)
      .set(CURLOPT_LOW_SPEED_TIME, receive_silence_s)
      .set(CURLOPT_TIMEOUT_MS, whole_query_ms)
      .set(CURLOPT_HEADERFUNCTION, on_header)
      .set(CURLOPT_HEADERDATA, &transfer)
      .set(CURLOPT_WRITEFUNCTION, on_body)
      .set(CURLOPT_XFERINFOFUNCTION, on_progress)
      .set(CURLOPT_XFERINFODATA, &transfer)
      .set(CURLOPT_NOPROGRESS, 0L);
  if (!options.ok()) return;
  curl_easy_perform(handle.get());
}

}  // namespace

std::string location_of(std::string_view header_block) {
  constexpr std::string_view name = "location:";
  while (!header_block.empty()) {
    std::size_t lf = header_block.find('\n');
    std::string_view line = header_block.substr(0, lf);
    header_block = lf == std::string_view::npos ? std::string_view() : header_block.substr(lf + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.size() < name.size()) continue;
    bool match = true;
    for (std::size_t i = 0; i < name.size() && match; ++i) {
      char c = line[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      match = c == name[i];
    }
    if (!match) continue;
    std::string_view value = line.substr(name.size());
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    return std::string(value);
  }
  return {};
}

std::string query_redirect_target(std::string_view url) {
  auto query = std::make_shared<Query>();
  query->url = std::string(url);
  const WorkerOutcome outcome =
      run_worker([query](const std::atomic<bool>& cancelled) { run_query(*query, cancelled); }, wait_ms);
  if (outcome != WorkerOutcome::finished) return {};
  return location_of(query->header_block);
}

}  // namespace vd
