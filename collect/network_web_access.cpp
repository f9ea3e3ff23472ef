#include "collect/web_access.h"
#include "web/redirect_query.h"
#include "web/web_request.h"

namespace vd {

namespace {

RedirectAnswer answer_of(RedirectReply&& reply) { return {std::move(reply.location), std::move(reply.body)}; }

class NetworkWebAccess final : public WebAccess {
 public:
  std::string fetch_page(std::string_view url, std::string* final_url) override {
    return vd::fetch_page(url, nullptr, 0, final_url);
  }
  std::string query_redirect_target(std::string_view url) override { return vd::query_redirect_target(url); }
  RedirectAnswer query_redirect(std::string_view url) override {
    return answer_of(query_redirect_reply(url));
  }
  std::vector<RedirectAnswer> query_redirects(const std::vector<std::string>& urls, int parallel) override {
    std::vector<RedirectAnswer> answers;
    answers.reserve(urls.size());
    for (RedirectReply& reply : query_redirect_replies(urls, parallel))
      answers.push_back(answer_of(std::move(reply)));
    return answers;
  }
};

}  // namespace

WebAccess& network_web_access() {
  static NetworkWebAccess access;
  return access;
}

}  // namespace vd
