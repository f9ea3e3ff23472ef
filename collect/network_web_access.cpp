#include "collect/web_access.h"
#include "web/redirect_query.h"
#include "web/web_request.h"

namespace vd {

namespace {

class NetworkWebAccess final : public WebAccess {
 public:
  std::string fetch_page(std::string_view url, std::string* final_url) override {
    return vd::fetch_page(url, nullptr, 0, final_url);
  }
  std::string query_redirect_target(std::string_view url) override { return vd::query_redirect_target(url); }
};

}  // namespace

WebAccess& network_web_access() {
  static NetworkWebAccess access;
  return access;
}

}  // namespace vd
