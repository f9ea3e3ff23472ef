// The two web operations that the page step calls, behind a seam so that benchmarks and tests can run the
// page step on pages in memory. The default goes to the network through fetch_page and
// query_redirect_target.
#pragma once

#include <string>
#include <string_view>

namespace vd {

class WebAccess {
 public:
  virtual ~WebAccess() = default;
  // The page text in GBK, as fetch_page gives it; final_url (when given) receives the last address.
  virtual std::string fetch_page(std::string_view url, std::string* final_url) = 0;
  virtual std::string query_redirect_target(std::string_view url) = 0;
};

// The network, through the web layer.
WebAccess& network_web_access();

}  // namespace vd
