#include "collect/engine_profile.h"

#include <mutex>

#include "text/gbk_literal.h"
#include "text/numbers.h"
#include "text/text_ops.h"
#include "web/percent_encoding.h"

namespace vd {

using namespace vd::literals;

namespace {

// Markers shared by every engine.
const MarkerAlternatives kTitleMarkers = {{">", "</a>"}};
const MarkerAlternatives kLinkMarkers = {{"href=\"", "\""}};

std::array<EngineProfile, kEngineCount> make_profiles() {
  return {{
      {.engine = SearchEngine::Baidu,
       .host = "www.baidu.com",
       .path_and_query = "/s?wd=",
       .encode_keyword = true,
       .page_parameter = "&pn=",
       .page_value = {-1, 10},
       .block = {{"<div id=\"content_left\">", "<p id=\"page\" >"},
                 {"<div id=\"content_left\">", "<p id=\"page\">"}},
       .heading = {{"<h3 ", "</h3>"}},
       .anchor = {{"<a ", "</a>"}},
       .title = kTitleMarkers,
       .link = kLinkMarkers,
       .link_unwrap = {},
       .redirect_prefix = "http://www.baidu.com/link?url=",
       .verification = {.body_texts = {"百度安全验证"_gbk}, .final_addresses = {"wappass.baidu.com"}}},
      {.engine = SearchEngine::Search360,
       .host = "www.so.com",
       .path_and_query = "/s?q=",
       .encode_keyword = true,
       .page_parameter = "&pn=",
       .page_value = {0, 1},
       .block = {{"<ul id=\"m-result\" class=\"result\">", "<div id=\"page\">"}},
       .heading = {{"<h3", "</h3>"}},
       .anchor = {{"<a ", "</a>"}},
       .title = kTitleMarkers,
       .link = kLinkMarkers,
       .link_unwrap = {},
       .redirect_prefix = {},
       .verification = {.body_texts = {"访问异常"_gbk}, .final_addresses = {"qcaptcha.so.com"}}},
      {.engine = SearchEngine::Sogou,
       .host = "www.sogou.com",
       .path_and_query = "/web?query=",
       .encode_keyword = true,
       .page_parameter = "&page=",
       .page_value = {0, 1},
       .block = {{"<div class=\"results\" >", "<table id=\"hint_container\""},
                 {"<div class=\"results\">", "<table id=\"hint_container\""}},
       .heading = {{"<h3", "</h3>"}},
       .anchor = {{"<a", "</a>"}},
       .title = kTitleMarkers,
       .link = kLinkMarkers,
       .link_unwrap = {},
       .redirect_prefix = {},
       .verification = {.body_texts = {"seccodeForm"}, .final_addresses = {"/antispider"}}},
      {.engine = SearchEngine::Google,
       .host = "www.google.com",
       .path_and_query = "/search?q=",
       .encode_keyword = false,
       .page_parameter = "&start=",
       .page_value = {-1, 10},
       .block = {{"<ol", "</ol>"}},
       .heading = {{"<h3", "</h3>"}},
       .anchor = {{"<a ", "</a>"}},
       .title = kTitleMarkers,
       .link = kLinkMarkers,
       .link_unwrap = {{"/url?q=", "&amp;"}},
       .redirect_prefix = {},
       .verification = {.body_texts = {"unusual traffic"}, .final_addresses = {"/sorry/"}}},
  }};
}

}  // namespace

const ProfileTable& engine_profiles() {
  static const ProfileTable profiles = make_profiles();
  return profiles;
}

const EngineProfile& engine_profile(SearchEngine engine) {
  return engine_profiles()[static_cast<int>(engine)];
}

namespace {

struct ActiveTable {
  std::mutex mutex;
  std::shared_ptr<const ProfileTable> table = std::make_shared<const ProfileTable>(engine_profiles());
};

ActiveTable& active_table() {
  static ActiveTable active;
  return active;
}

constexpr const char* kEngineNames[kEngineCount] = {"baidu", "360", "sogou", "google"};

}  // namespace

std::shared_ptr<const ProfileTable> active_profiles() {
  ActiveTable& active = active_table();
  std::lock_guard lock(active.mutex);
  return active.table;
}

void set_active_profiles(ProfileTable profiles) {
  auto table = std::make_shared<const ProfileTable>(std::move(profiles));
  ActiveTable& active = active_table();
  std::lock_guard lock(active.mutex);
  active.table = std::move(table);
}

void reset_active_profiles() { set_active_profiles(engine_profiles()); }

const char* engine_name(SearchEngine engine) { return kEngineNames[static_cast<int>(engine)]; }

std::optional<SearchEngine> engine_by_name(std::string_view name) {
  const std::string lower = ascii_lower(name);
  for (int i = 0; i < kEngineCount; ++i) {
    if (lower == kEngineNames[i]) return static_cast<SearchEngine>(i);
  }
  return std::nullopt;
}

std::optional<SearchEngine> select_engine(const std::array<bool, kEngineCount>& buttons) {
  for (int i = 0; i < kEngineCount; ++i) {
    if (buttons[i]) return static_cast<SearchEngine>(i);
  }
  return std::nullopt;
}

std::string build_request_url(const EngineProfile& profile, std::string_view keyword, std::int32_t page) {
  // Computed as a real, so that no page number can overflow an integer here.
  const double value =
      (static_cast<double>(page) + profile.page_value.page_offset) * profile.page_value.page_factor;
  std::string url = "http://";
  url += profile.host;
  url += profile.path_and_query;
  url += profile.encode_keyword ? percent_encode(keyword) : std::string(keyword);
  url += profile.page_parameter;
  url += real_text(value);
  return url;
}

std::string build_request_url(SearchEngine engine, std::string_view keyword, std::int32_t page) {
  return build_request_url(engine_profile(engine), keyword, page);
}

}  // namespace vd
