#include "web/redirect_query.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

#include "text/numbers.h"
#include "web/connect_to.h"
#include "web/curl_handle.h"
#include "web/page_decoding.h"
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

// Written by the caller before the worker starts, read by it only after the worker has ended.
struct Query {
  std::string url;
  bool keep_body = false;    // read the body of an answer without Location
  std::string header_block;  // of the last response read
  std::string body;          // raw bytes, at most redirect_body_limit
  int body_wanted = -1;      // decided at the first body bytes of a response: 1 yes, 0 no
};

struct Transfer {
  Query& query;
  const std::atomic<bool>& cancelled;
};

size_t on_header(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) {
    t.query.header_block.clear();
    t.query.body.clear();
    t.query.body_wanted = -1;
  }
  t.query.header_block += line;
  return size * count;
}

// Without keep_body, or when the answer has a Location, the body is not wanted: stop at its first bytes.
size_t on_body(char* data, size_t size, size_t count, void* user) {
  Query& query = static_cast<Transfer*>(user)->query;
  if (query.body_wanted < 0) query.body_wanted = query.keep_body && location_of(query.header_block).empty();
  if (query.body_wanted == 0) return 0;
  const std::size_t bytes = size * count;
  const std::size_t room = redirect_body_limit - std::min(query.body.size(), redirect_body_limit);
  if (bytes > room) {
    query.body.append(data, room);
    return 0;  // the limit is reached: the rest is never read
  }
  query.body.append(data, bytes);
  return bytes;
}

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
      .set(CURLOPT_WRITEDATA, &transfer)
      .set(CURLOPT_XFERINFOFUNCTION, on_progress)
      .set(CURLOPT_XFERINFODATA, &transfer)
      .set(CURLOPT_NOPROGRESS, 0L);
  if (!options.ok()) return;
  curl_easy_perform(handle.get());
}

// Queries taken in order by the lanes of a batch.
struct Batch {
  std::vector<Query> queries;
  std::atomic<std::size_t> next{0};
};

void run_lane(Batch& batch, const std::atomic<bool>& cancelled) {
  for (std::size_t i = batch.next++; i < batch.queries.size() && !cancelled; i = batch.next++)
    run_query(batch.queries[i], cancelled);
}

// The worker thread is one lane; the others get threads of their own. Lanes that cannot be started leave
// their share to the ones that run.
void run_batch(Batch& batch, int lanes, const std::atomic<bool>& cancelled) {
  std::vector<std::thread> helpers;
  helpers.reserve(static_cast<std::size_t>(lanes));
  for (int lane = 1; lane < lanes; ++lane) {
    try {
      helpers.emplace_back([&batch, &cancelled] { run_lane(batch, cancelled); });
    } catch (const std::system_error&) {
      break;
    }
  }
  run_lane(batch, cancelled);
  for (std::thread& helper : helpers) helper.join();
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

RedirectReply query_redirect_reply(std::string_view url) {
  std::vector<RedirectReply> replies = query_redirect_replies({std::string(url)}, 1);
  return std::move(replies.front());
}

std::vector<RedirectReply> query_redirect_replies(const std::vector<std::string>& urls, int parallel) {
  std::vector<RedirectReply> replies(urls.size());
  if (urls.empty()) return replies;
  auto batch = std::make_shared<Batch>();
  batch->queries.resize(urls.size());
  for (std::size_t i = 0; i < urls.size(); ++i) {
    batch->queries[i].url = urls[i];
    batch->queries[i].keep_body = true;
  }
  const int lanes =
      std::clamp(parallel, 1, static_cast<int>(std::min<std::size_t>(urls.size(), max_parallel_redirects)));
  // Each lane runs its share one after another; the wait allows every round its whole time.
  const std::int64_t rounds = (static_cast<std::int64_t>(urls.size()) + lanes - 1) / lanes;
  const WorkerOutcome outcome =
      run_worker([batch, lanes](const std::atomic<bool>& cancelled) { run_batch(*batch, lanes, cancelled); },
                 rounds * whole_query_ms + 5000);
  if (outcome != WorkerOutcome::finished) return replies;
  for (std::size_t i = 0; i < urls.size(); ++i) {
    const Query& query = batch->queries[i];
    replies[i].location = location_of(query.header_block);
    if (replies[i].location.empty()) replies[i].body = decode_page_text(bytes_to_text(query.body), 0);
  }
  return replies;
}

}  // namespace vd
