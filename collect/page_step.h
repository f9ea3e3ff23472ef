// The page step of a collection run: one result page of one keyword, from the request to the lines.
//
// Stages, each a function of its own: request (engine_profile.h), block cut and entry walk
// (result_page.h), link resolution (link_rule.h), title cleaning and writing (output_records.h).
// Runs on the front end's main thread; events are handled while the page is fetched and once per
// result heading, so any handler can run nested inside it. It never reads the stop flag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "collect/keyword_output.h"
#include "collect/page_outcome.h"
#include "collect/result_page.h"
#include "collect/run_controls.h"
#include "collect/web_access.h"

namespace vd {

class RegexService;

// What a page step reads and writes besides its arguments; the references outlive the step.
struct PageStep {
  RunControls& controls;
  WebAccess& web;
  RegexService& titles;
  KeywordOutput& output;
  std::int32_t& run_total;
  // 1 or less: each redirect link is resolved as its entry is taken, one query after another. More:
  // the page's headings are walked first and its redirect links then resolved with up to this many
  // queries at a time; the entries, their order and the stop at the first link without target stay the
  // same, and answers for links after that stop are dropped.
  int parallel_redirects = 1;
};

// The engine is read from the controls at each call, its profile from the active profiles. True: the
// page was accepted, its lines written (as far as the output file allows), run_total and the caption
// updated and previous_links replaced by its link list. False: the page repeats previous_links (an empty
// page at a keyword's start included); nothing was written and the keyword's results are over.
// A page that failed, timed out or asked for verification is handled the same way (it has no entries)
// and in addition status pane 1 says what happened. outcome, when given, receives what the page was.
bool collect_page(PageStep& step, std::string_view keyword, std::int32_t page, std::string& previous_links,
                  PageOutcome* outcome = nullptr);

// Fetches, cuts and walks one page for an engine, resolving links and cleaning titles; the status pane 1
// shows each entry as it is taken. Writes nothing. outcome, when given, receives results when the page
// gave entries, else what classify_page makes of it.
PageEntries read_result_page(PageStep& step, const EngineProfile& profile, std::string_view keyword,
                             std::int32_t page, PageOutcome* outcome = nullptr);

}  // namespace vd
