// Turning the entries of an accepted page into lines of the keyword's output file.
//
// Texts are GBK. Runs on the front end's main thread, inside the page step.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "collect/keyword_output.h"
#include "collect/result_page.h"
#include "collect/run_controls.h"

namespace vd {

class RegexService;

// Replaces, for each "|"-separated name in order, every occurrence by the value at the same place in the
// "|"-separated values (missing values are empty, extra ones dropped). A piece after the last "|" counts
// only when it is not empty, as split_at gives it. So a value holding "|" shifts the ones after it.
std::string replace_list(std::string_view text, std::string_view names, std::string_view values,
                         bool match_case);

// The template with every "#网址#" replaced by the link, then every "#标题#" by the title, letter case
// not mattering. No line end is added.
std::string render_line(std::string_view line_template, const ResultEntry& entry);

// The title with every match of the service's current pattern (the markup pattern that the front end
// sets at start) deleted.
std::string clean_title(RegexService& titles, std::string_view raw_title);

// Writes an accepted page: previous_links becomes the page's links; one line per entry, the template
// read anew for each; the entries are added to run_total and the button shows "已采集数 " + run_total.
// When the output file is not written (it did not open, or a line was lost), status pane 1 says so.
void write_accepted_page(RunControls& controls, KeywordOutput& output, std::int32_t& run_total,
                         const PageEntries& page, std::string& previous_links);

// "文件无法写入：" + path, GBK.
std::string unwritable_file_text(std::string_view path);

}  // namespace vd
