// Cutting a fetched result page: the result block, the walk over its entries, the end-of-results test.
//
// Cutting is plain text search between markers (text_between), not markup parsing. Texts are GBK.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "collect/engine_profile.h"

namespace vd {

// One collected result.
struct ResultEntry {
  std::string title;  // the anchor text, cleaned of markup
  std::string link;   // after the engine's link rule; empty only when a redirect query got no target
};

// The entries of one page in page order, and their links each followed by CR LF (empty without entries).
struct PageEntries {
  std::vector<ResultEntry> entries;
  std::string page_links;
};

// What the walk takes from one heading, before any redirect query or cleaning.
struct RawEntry {
  std::string title;  // anchor text, inner markup included
  std::string link;   // link_before_redirect of the raw href; never empty
};

// The result list of the page: the profile's block markers tried in order, each from the beginning.
// Empty when none of them is found.
std::string cut_result_block(std::string_view page_text, const EngineProfile& profile);

// Called once per entry, in page order; returns false to end the walk after that entry.
using EntrySink = std::function<bool(RawEntry&& entry)>;

// Walks the headings of the block in order, handling pending events once per heading (on the front
// end's thread). The walk ends at the first heading not found, or at a heading whose first anchor gives
// no link (no anchor, an href not in double quotes, a Google link that wraps no target): that heading and
// every one after it give no entry.
void walk_entries(std::string_view block, const EngineProfile& profile, const EntrySink& sink);

// The page repeats the previous accepted page (byte-equal link lists): the keyword's results are over.
inline bool is_end_of_results(std::string_view page_links, std::string_view previous_links) {
  return page_links == previous_links;
}

}  // namespace vd
