#include "collect/engine_profile.h"

#include "text/numbers.h"
#include "web/percent_encoding.h"

namespace vd {

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
       .redirect_prefix = "http://www.baidu.com/link?url="},
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
       .redirect_prefix = {}},
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
       .redirect_prefix = {}},
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
       .redirect_prefix = {}},
  }};
}

}  // namespace

const std::array<EngineProfile, kEngineCount>& engine_profiles() {
  static const std::array<EngineProfile, kEngineCount> profiles = make_profiles();
  return profiles;
}

const EngineProfile& engine_profile(SearchEngine engine) {
  return engine_profiles()[static_cast<int>(engine)];
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
