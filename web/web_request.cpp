#include "web/web_request.h"

#include <memory>

#include "text/gbk_literal.h"
#include "text/text_ops.h"
#include "web/page_decoding.h"
#include "web/request_worker.h"
#include "web/url_pieces.h"
#include "web/worker_wait.h"

namespace vd {

using namespace vd::literals;

const std::string& timeout_message() {
  return "超时返回，指定网站不能访问，或者你的网络出现问题，你可以把参数中的＂超时返回＂的值设置长一些。"_gbk;
}

Bytes web_request(std::string_view url, const WebRequestOptions& options) {
  if (options.final_url != nullptr) options.final_url->clear();
  if (trim_spaces(url).empty()) return {};

  // Shared with the worker, so that an abandoned worker writes only into memory it co-owns.
  auto record = std::make_shared<RequestRecord>();
  record->url = with_scheme_prefix(url);
  record->post = options.method == 1;
  record->proxy = options.proxy;
  record->extra_headers = options.extra_headers;
  record->body = options.body;
  record->cookies = options.cookies;
  record->allow_redirects = options.allow_redirects;
  record->body_limit = options.body_limit;

  const WorkerOutcome outcome =
      run_worker([record](const std::atomic<bool>& cancelled) { request_worker(*record, cancelled); },
                 static_cast<std::int64_t>(options.timeout_seconds) * 1000);
  if (outcome == WorkerOutcome::not_started) return {};
  if (outcome == WorkerOutcome::timed_out) return timeout_message();

  if (options.response_headers != nullptr) *options.response_headers = bytes_to_text(record->header_block);
  if (options.cookies_received != nullptr)
    *options.cookies_received = bytes_to_text(record->cookies_received);
  if (options.final_url != nullptr) *options.final_url = record->final_url;
  return convert_body(record->response_body, options.conversion);
}

std::string fetch_page(std::string_view url, std::string* page_text, int decode_mode,
                       std::string* final_url) {
  WebRequestOptions options;
  options.timeout_seconds = 10;
  options.final_url = final_url;
  std::string text = bytes_to_text(web_request(url, options));
  if (page_text != nullptr) *page_text = text;
  text = decode_page_text(text, decode_mode);
  if (page_text != nullptr) *page_text = text;
  return text;
}

}  // namespace vd
