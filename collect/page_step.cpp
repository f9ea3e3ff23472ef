#include "collect/page_step.h"

#include "collect/engine_profile.h"
#include "collect/link_rule.h"
#include "collect/output_records.h"
#include "text/gbk_literal.h"
#include "text/text_ops.h"

namespace vd {

using namespace vd::literals;

PageEntries read_result_page(PageStep& step, const EngineProfile& profile, std::string_view keyword,
                             std::int32_t page) {
  PageEntries result;
  const std::string page_text = step.web.fetch_page(build_request_url(profile, keyword, page), nullptr);
  const std::string block = cut_result_block(page_text, profile);
  if (block.empty()) return result;
  walk_entries(block, profile, [&](RawEntry&& raw) {
    ResultEntry entry;
    entry.link = resolve_link(profile, raw.link, step.web);
    entry.title = clean_title(step.titles, raw.title);
    result.page_links += entry.link + "\r\n";
    step.controls.set_status(1, "标题："_gbk + entry.title + "(网址："_gbk + entry.link + ")");
    const bool go_on = !entry.link.empty();
    result.entries.push_back(std::move(entry));
    return go_on;
  });
  return result;
}

bool collect_page(PageStep& step, std::string_view keyword, std::int32_t page, std::string& previous_links) {
  const std::string trimmed = trim_spaces(keyword);
  step.controls.set_status(1, "搜索中......"_gbk);
  PageEntries entries;
  if (const auto engine = select_engine(step.controls.engine_buttons())) {
    entries = read_result_page(step, engine_profile(*engine), trimmed, page);
  }
  if (is_end_of_results(entries.page_links, previous_links)) return false;
  write_accepted_page(step.controls, step.output, step.run_total, entries, previous_links);
  return true;
}

}  // namespace vd
