#include "collect/collection_run.h"

#include <algorithm>
#include <limits>

#include "collect/directory_path.h"
#include "collect/output_file_name.h"
#include "collect/output_records.h"
#include "collect/page_step.h"
#include "collect/run_timing.h"
#include "text/clock.h"
#include "text/desktop.h"
#include "text/event_pump.h"
#include "text/gbk_literal.h"
#include "text/numbers.h"
#include "text/text_ops.h"

namespace vd {

using namespace vd::literals;

namespace {

// parse_integer of the text times 1000, kept within the 32-bit range.
std::int32_t pause_milliseconds(std::string_view text) {
  const std::int64_t ms = static_cast<std::int64_t>(parse_integer(text)) * 1000;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(ms, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

// The page before the first one requested: the first page box minus 1, at least 0.
std::int32_t page_before_first(std::string_view text) {
  return static_cast<std::int32_t>(
      std::max<std::int64_t>(static_cast<std::int64_t>(parse_integer(text)) - 1, 0));
}

std::string joined(const std::vector<std::string>& texts, std::string_view separator) {
  std::string result;
  for (const std::string& text : texts) {
    if (!result.empty()) result += separator;
    result += text;
  }
  return result;
}

void add_once(std::vector<std::string>& keywords, const std::string& keyword) {
  if (std::find(keywords.begin(), keywords.end(), keyword) == keywords.end()) keywords.push_back(keyword);
}

}  // namespace

const std::vector<std::string>& RunSummary::troubled_keywords(PageOutcome kind) const {
  static const std::vector<std::string> kNone;
  switch (kind) {
    case PageOutcome::verification:
      return verification_keywords;
    case PageOutcome::failed:
      return failed_keywords;
    case PageOutcome::timed_out:
      return timed_out_keywords;
    default:
      return kNone;
  }
}

bool RunSummary::hit_trouble() const {
  return !verification_keywords.empty() || !failed_keywords.empty() || !timed_out_keywords.empty();
}

CollectionRun::CollectionRun(RunControls& controls, RegexService& titles, WebAccess& web,
                             int parallel_redirects)
    : controls_(controls), titles_(titles), web_(web), parallel_redirects_(parallel_redirects) {}

void CollectionRun::on_button_clicked() {
  if (controls_.button_caption() == "开始采集"_gbk) {
    run();
    return;
  }
  controls_.set_button_caption("停止采集中"_gbk);
  stop_requested_ = true;
}

void CollectionRun::run() {
  controls_.set_button_caption("停止采集"_gbk);
  stop_requested_ = false;
  run_start_ticks_ = tick_count();
  summary_ = {};
  output_directory_ = with_trailing_separator(controls_.output_directory_text());
  run_total_ = 0;
  make_directory_path(output_directory_);
  keyword_loop();
  finish();
}

void CollectionRun::keyword_loop() {
  for (const std::string& line : split_at(controls_.keyword_text(), "\r\n")) {
    pump_events();
    const std::string keyword = trim_spaces(line);
    if (keyword.empty()) continue;
    const std::int32_t page_before = page_before_first(controls_.first_page_text());
    const std::string path =
        output_file_path(output_directory_, keyword, local_now(), controls_.extension_text());
    KeywordOutput output(path);
    if (!output.is_open()) controls_.set_status(1, unwritable_file_text(path));
    page_loop(keyword, output, page_before);
    output.close();
    if (output.failed()) note_unwritable(keyword);
    if (stop_requested_) break;
  }
}

void CollectionRun::page_loop(const std::string& keyword, KeywordOutput& output, std::int32_t page) {
  std::string previous_links;
  PageStep step{controls_, web_, titles_, output, run_total_, parallel_redirects_};
  // The last page number there is; no page follows it.
  while (page < std::numeric_limits<std::int32_t>::max()) {
    pump_events();
    ++page;
    controls_.set_status(0, "关键词："_gbk + keyword + "(页号："_gbk + integer_text(page) + ")");
    PageOutcome outcome = PageOutcome::end_of_results;
    const bool accepted = collect_page(step, keyword, page, previous_links, &outcome);
    note_trouble(keyword, outcome);
    if (!accepted) return;
    wait_with_stop(pause_milliseconds(controls_.pause_text()), stop_requested_);
    if (stop_requested_) return;
    const std::int32_t limit = parse_integer(controls_.page_limit_text());
    if (limit > 0 && page >= limit) return;
  }
}

void CollectionRun::note_unwritable(const std::string& keyword) {
  add_once(summary_.unwritable_keywords, keyword);
}

void CollectionRun::note_trouble(const std::string& keyword, PageOutcome outcome) {
  switch (outcome) {
    case PageOutcome::verification:
      add_once(summary_.verification_keywords, keyword);
      break;
    case PageOutcome::failed:
      add_once(summary_.failed_keywords, keyword);
      break;
    case PageOutcome::timed_out:
      add_once(summary_.timed_out_keywords, keyword);
      break;
    default:
      break;
  }
}

void CollectionRun::finish() {
  controls_.set_button_caption("开始采集"_gbk);
  controls_.set_status(0, "就绪"_gbk);
  // Both ticks as signed 32-bit values, no correction for a wrap of the counter.
  const std::int64_t elapsed = static_cast<std::int64_t>(tick_count()) - run_start_ticks_;
  const std::string text =
      "已采集完成！总采集数量 "_gbk + integer_text(run_total_) + " 耗时 "_gbk + format_elapsed(elapsed);
  controls_.set_status(1, text);
  summary_.total = run_total_;
  summary_.final_text = text;
  summary_.stopped = stop_requested_;
  std::string message = text;
  if (!summary_.unwritable_keywords.empty()) {
    message += "\n";
    message += "以下关键词的结果未能写入文件："_gbk + joined(summary_.unwritable_keywords, "，"_gbk);
  }
  for (const PageOutcome kind : kTroubleOutcomes) {
    const std::vector<std::string>& keywords = summary_.troubled_keywords(kind);
    if (!keywords.empty()) message += "\n" + trouble_line(kind, joined(keywords, "，"_gbk));
  }
  show_message(message, kButtonsOk, "信息："_gbk);
}

}  // namespace vd
