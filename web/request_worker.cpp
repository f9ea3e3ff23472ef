#include "web/request_worker.h"

#include <vector>

#include "web/connect_to.h"
#include "web/cookie_store.h"
#include "web/curl_handle.h"
#include "web/request_composition.h"
#include "web/url_pieces.h"

namespace vd {

namespace {

// What the transfer callbacks see. Lives on the worker's stack for the length of the transfer.
struct Transfer {
  RequestRecord& record;
  const std::atomic<bool>& cancelled;
};

size_t on_body(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  std::size_t bytes = size * count;
  Bytes& body = t.record.response_body;
  std::size_t room = t.record.body_limit > body.size() ? t.record.body_limit - body.size() : 0;
  if (bytes > room) {
    body.append(data, room);
    return 0;  // the limit is reached: the transfer stops and the rest is never read
  }
  body.append(data, bytes);
  return bytes;
}

size_t on_header(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  std::string_view line(data, size * count);
  // Each response of a redirect chain (or an interim 100) starts a new block; the last one is kept.
  if (line.starts_with("HTTP/")) {
    t.record.header_block.clear();
    t.record.response_body.clear();
  }
  t.record.header_block += line;
  return size * count;
}

int on_progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<Transfer*>(user)->cancelled.load() ? 1 : 0;
}

bool is_host_name(std::string_view host) {
  if (host.empty()) return false;
  for (char c : host) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

void request_worker(RequestRecord& record, const std::atomic<bool>& cancelled) {
  const std::string& url = record.url;
  const bool secure = url_is_secure(url);
  const std::string host = url_host(url);
  const std::string path = url_path(url);
  // Port 0 (a colon with no number after it) means the default port.
  std::int32_t port = secure ? 443 : url_port(url);
  if (port == 0) port = 80;
  if (!is_host_name(host) || port < 1 || port > 65535) return;

  const TransferRules rules = transfer_rules(request_flags(secure, record.cookies, record.allow_redirects));
  const std::string agent = user_agent(record.extra_headers);
  const std::string header_text =
      compose_header_text({record.extra_headers, url, record.post, record.body, record.cookies});

  CurlHandle handle = CurlHandle::make();
  if (!handle) return;
  CurlList headers;
  CurlList connect_to;
  if (!headers.append_all(client_header_entries(header_text, record.post)) ||
      !connect_to.append_all(connect_to_entries()))
    return;

  const bool default_port = port == (secure ? 443 : 80);
  const std::string address = curl_address((secure ? "https://" : "http://") + host +
                                           (default_port ? "" : ":" + std::to_string(port)) + path);
  Transfer transfer{record, cancelled};
  CURL* h = handle.get();
  CurlOptions options(h);
  options.set(CURLOPT_URL, address.c_str())
      .set(CURLOPT_PATH_AS_IS, 1L)
      .set(CURLOPT_PROTOCOLS_STR, "http,https")
      .set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https")
      .set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1))
      .set(CURLOPT_NOSIGNAL, 1L)
      .set(CURLOPT_USERAGENT, agent.c_str())
      .set(CURLOPT_HTTPHEADER, headers.get())
      .set(CURLOPT_CONNECT_TO, connect_to.get())
      .set(CURLOPT_FOLLOWLOCATION, rules.follow_redirects ? 1L : 0L)
      .set(CURLOPT_MAXREDIRS, 20L)
      // Only URLs with the scheme http go through the proxy; an empty proxy keeps curl from reading the
      // proxy variables of the environment, and an empty no-proxy list from bypassing a given proxy.
      .set(CURLOPT_PROXY, secure ? "" : record.proxy.c_str())
      .set(CURLOPT_NOPROXY, "")
      .set(CURLOPT_WRITEFUNCTION, on_body)
      .set(CURLOPT_WRITEDATA, &transfer)
      .set(CURLOPT_HEADERFUNCTION, on_header)
      .set(CURLOPT_HEADERDATA, &transfer)
      .set(CURLOPT_XFERINFOFUNCTION, on_progress)
      .set(CURLOPT_XFERINFODATA, &transfer)
      .set(CURLOPT_NOPROGRESS, 0L);
  if (rules.use_cookie_store) {
    CURLSH* share = cookie_share();
    if (share == nullptr) return;
    options.set(CURLOPT_SHARE, share).set(CURLOPT_COOKIEFILE, "");
  }
  if (record.post) {
    options.set(CURLOPT_POST, 1L)
        .set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(record.body.size()))
        .set(CURLOPT_POSTFIELDS, record.body.data());
  } else {
    options.set(CURLOPT_HTTPGET, 1L);
  }
  if (!options.ok()) return;

  // Whatever arrived before a failure is the result; failures themselves are not reported.
  curl_easy_perform(h);

  record.final_url = url;
  long redirects = 0;
  char* effective = nullptr;
  if (curl_easy_getinfo(h, CURLINFO_REDIRECT_COUNT, &redirects) == CURLE_OK && redirects > 0 &&
      curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective != nullptr)
    record.final_url = effective;

  CookiesReceived received = cookies_received(record.header_block);
  record.cookies_received = std::move(received.text);
  // A transfer that used the store has stored these cookies itself.
  if (!rules.use_cookie_store) store_cookies(host, received.cookies);
}

}  // namespace vd
