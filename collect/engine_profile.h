// The four search engines and their profiles: where a result page is requested and which markers cut its
// result list. The profiles are data, one row per engine in engine_profiles(); the code that requests and
// cuts pages reads every value from the row.
//
// All texts are GBK. Markers are the literal bytes searched for (a double quote is a double quote).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vd {

enum class SearchEngine { Baidu = 0, Search360 = 1, Sogou = 2, Google = 3 };

inline constexpr int kEngineCount = 4;

// A start marker and an end marker; text_between cuts out what lies between them.
struct MarkerPair {
  std::string start;
  std::string end;
  bool operator==(const MarkerPair&) const = default;
};

// Marker pairs tried in order; the first that yields non-empty text wins. Most rows hold one pair; the
// block markers of Baidu and Sogou hold a second try for older markup.
using MarkerAlternatives = std::vector<MarkerPair>;

// The page value written after the page parameter: (page + page_offset) * page_factor, computed as a
// real number and written as number text.
struct PageValueRule {
  double page_offset = 0;
  double page_factor = 1;
  bool operator==(const PageValueRule&) const = default;
};

// Signs that an engine answered with a verification page (a captcha) instead of results.
struct VerificationSigns {
  // Texts found anywhere in the page text, letter case ignored.
  std::vector<std::string> body_texts;
  // Signs in the final address of the request (after redirects): one beginning with "/" matches when
  // the address's path begins with it; any other is a host name, matched when the address's host is that
  // name or ends with "." and that name. Letter case ignored.
  std::vector<std::string> final_addresses;
  bool operator==(const VerificationSigns&) const = default;
};

struct EngineProfile {
  SearchEngine engine = SearchEngine::Baidu;
  std::string host;            // the public web search host, put after "http://"
  std::string path_and_query;  // up to the keyword, e.g. "/s?wd="
  bool encode_keyword = true;  // percent_encode the keyword (UTF-8, every byte); false: raw GBK bytes
  std::string page_parameter;  // e.g. "&pn="
  PageValueRule page_value;

  MarkerAlternatives block;    // the result list in the page
  MarkerAlternatives heading;  // one result heading in the list, searched from the walk position
  MarkerAlternatives anchor;   // the first anchor of a heading
  MarkerAlternatives title;    // the anchor text, cut from the anchor followed by its end marker
  MarkerAlternatives link;     // the raw link inside the anchor

  // A wrapped target inside the raw link (Google's "/url?q=...&amp;"); empty: the raw link is the link.
  MarkerAlternatives link_unwrap;
  // A raw link holding this anywhere (letter case ignored) is resolved by a redirect query; empty: none.
  std::string redirect_prefix;

  VerificationSigns verification;

  bool operator==(const EngineProfile&) const = default;
};

using ProfileTable = std::array<EngineProfile, kEngineCount>;

// The built-in profiles, indexed by SearchEngine. Lives for the program's life; thread-safe to read.
const ProfileTable& engine_profiles();
const EngineProfile& engine_profile(SearchEngine engine);

// The profiles that runs use: the built-in ones until a front end sets others (a profiles file read at
// start). A run holds the snapshot it read for the length of a page, so setting a new table while a run
// goes on is safe and takes effect at the next page. Thread-safe.
std::shared_ptr<const ProfileTable> active_profiles();
void set_active_profiles(ProfileTable profiles);
void reset_active_profiles();

// The engine's name in profiles files and on the command line: "baidu", "360", "sogou", "google".
const char* engine_name(SearchEngine engine);
std::optional<SearchEngine> engine_by_name(std::string_view name);

// The engine of the first checked radio button in the order Baidu, 360, Sogou, Google; none when no
// button is checked.
std::optional<SearchEngine> select_engine(const std::array<bool, kEngineCount>& buttons);

// "http://" + host + path and query + keyword (in the profile's form) + page parameter + page value.
// page is 1 or more.
std::string build_request_url(const EngineProfile& profile, std::string_view keyword, std::int32_t page);
std::string build_request_url(SearchEngine engine, std::string_view keyword, std::int32_t page);

}  // namespace vd
