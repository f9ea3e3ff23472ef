#include "collect/page_step.h"

#include <vector>

#include "collect/engine_profile.h"
#include "collect/link_rule.h"
#include "collect/output_records.h"
#include "text/gbk_literal.h"
#include "text/text_ops.h"

namespace vd {

using namespace vd::literals;

namespace {

// Appends the entry and shows it in status pane 1. False when its link is empty: the walk ends there.
bool take_entry(PageStep& step, PageEntries& result, std::string link, std::string_view raw_title) {
  ResultEntry entry;
  entry.link = std::move(link);
  entry.title = clean_title(step.titles, raw_title);
  result.page_links += entry.link + "\r\n";
  step.controls.set_status(1, "标题："_gbk + entry.title + "(网址："_gbk + entry.link + ")");
  const bool go_on = !entry.link.empty();
  result.entries.push_back(std::move(entry));
  return go_on;
}

// Each redirect link is queried as its entry is taken.
void take_entries_in_turn(PageStep& step, const EngineProfile& profile, std::string_view block,
                          PageEntries& result) {
  walk_entries(block, profile, [&](RawEntry&& raw) {
    return take_entry(step, result, resolve_link(profile, raw.link, step.web), raw.title);
  });
}

// The whole walk first, then the redirect links of the page queried together.
void take_entries_in_parallel(PageStep& step, const EngineProfile& profile, std::string_view block,
                              PageEntries& result) {
  std::vector<RawEntry> raws;
  walk_entries(block, profile, [&](RawEntry&& raw) {
    raws.push_back(std::move(raw));
    return true;
  });
  std::vector<std::string> redirect_links;
  for (const RawEntry& raw : raws)
    if (needs_redirect_query(profile, raw.link)) redirect_links.push_back(raw.link);
  std::vector<RedirectAnswer> answers = step.web.query_redirects(redirect_links, step.parallel_redirects);
  answers.resize(redirect_links.size());  // an access that answered fewer: the rest got no target
  std::size_t next_answer = 0;
  for (RawEntry& raw : raws) {
    std::string link = needs_redirect_query(profile, raw.link)
                           ? redirect_target(std::move(answers[next_answer++]))
                           : std::move(raw.link);
    if (!take_entry(step, result, std::move(link), raw.title)) return;
  }
}

}  // namespace

PageEntries read_result_page(PageStep& step, const EngineProfile& profile, std::string_view keyword,
                             std::int32_t page, PageOutcome* outcome) {
  PageEntries result;
  std::string final_url;
  const std::string page_text = step.web.fetch_page(build_request_url(profile, keyword, page), &final_url);
  const std::string block = cut_result_block(page_text, profile);
  if (!block.empty()) {
    if (step.parallel_redirects > 1)
      take_entries_in_parallel(step, profile, block, result);
    else
      take_entries_in_turn(step, profile, block, result);
  }
  if (outcome != nullptr) *outcome = classify_page(profile, page_text, final_url, !result.entries.empty());
  return result;
}

bool collect_page(PageStep& step, std::string_view keyword, std::int32_t page, std::string& previous_links,
                  PageOutcome* outcome) {
  const std::string trimmed = trim_spaces(keyword);
  step.controls.set_status(1, "搜索中......"_gbk);
  PageEntries entries;
  PageOutcome what = PageOutcome::end_of_results;
  if (const auto engine = select_engine(step.controls.engine_buttons())) {
    // Held for the whole page, so that a table set meanwhile cannot pull the profile away.
    const std::shared_ptr<const ProfileTable> profiles = active_profiles();
    entries = read_result_page(step, (*profiles)[static_cast<int>(*engine)], trimmed, page, &what);
  }
  if (is_trouble(what)) step.controls.set_status(1, outcome_status_text(what));
  const bool repeated = is_end_of_results(entries.page_links, previous_links);
  if (repeated && what == PageOutcome::results) what = PageOutcome::end_of_results;
  if (outcome != nullptr) *outcome = what;
  if (repeated) return false;
  write_accepted_page(step.controls, step.output, step.run_total, entries, previous_links);
  return true;
}

}  // namespace vd
