// The web operations that the page step calls, behind a seam so that benchmarks and tests can run the
// page step on pages in memory. The default goes to the network through fetch_page and
// query_redirect_target.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vd {

// The answer to a redirect query: the Location when the server sent one; otherwise, when the access
// can have it, the body that came instead (a page that redirects by markup or script). GBK.
struct RedirectAnswer {
  std::string location;
  std::string body;
};

class WebAccess {
 public:
  virtual ~WebAccess() = default;
  // The page text in GBK, as fetch_page gives it; final_url (when given) receives the last address
  // after redirects, empty when no response was had.
  virtual std::string fetch_page(std::string_view url, std::string* final_url) = 0;
  // The Location of a redirect, empty when none was obtained.
  virtual std::string query_redirect_target(std::string_view url) = 0;
  // The Location and, without one, the body. The default knows the Location only.
  virtual RedirectAnswer query_redirect(std::string_view url) { return {query_redirect_target(url), {}}; }
  // The answers to several redirect queries, in the order of urls, with up to `parallel` of them under
  // way at a time. Returns when every one has ended. The default asks query_redirect one after another.
  virtual std::vector<RedirectAnswer> query_redirects(const std::vector<std::string>& urls, int parallel) {
    std::vector<RedirectAnswer> answers;
    answers.reserve(urls.size());
    for (const std::string& url : urls) answers.push_back(query_redirect(url));
    return answers;
  }
};

// The network, through the web layer.
WebAccess& network_web_access();

}  // namespace vd
