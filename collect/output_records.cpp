#include "collect/output_records.h"

#include "text/gbk_literal.h"
#include "text/numbers.h"
#include "text/regex_service.h"
#include "text/text_ops.h"

namespace vd {

using namespace vd::literals;

std::string replace_list(std::string_view text, std::string_view names, std::string_view values,
                         bool match_case) {
  const TextList name_list = split_at(names, "|");
  TextList value_list = split_at(values, "|");
  value_list.resize(name_list.size());
  std::string result(text);
  for (std::size_t i = 0; i < name_list.size(); ++i) {
    result = replace_parts(result, name_list[i], value_list[i], 1, no_limit, match_case);
  }
  return result;
}

std::string render_line(std::string_view line_template, const ResultEntry& entry) {
  return replace_list(line_template, "#网址#|#标题#"_gbk, entry.link + "|" + entry.title, false);
}

std::string clean_title(RegexService& titles, std::string_view raw_title) {
  return titles.replace_matches(raw_title, "");
}

std::string unwritable_file_text(std::string_view path) { return "文件无法写入："_gbk + std::string(path); }

void write_accepted_page(RunControls& controls, KeywordOutput& output, std::int32_t& run_total,
                         const PageEntries& page, std::string& previous_links) {
  previous_links = page.page_links;
  for (const ResultEntry& entry : page.entries) {
    output.write_line(render_line(controls.template_text(), entry));
  }
  run_total += static_cast<std::int32_t>(page.entries.size());
  controls.set_button_caption("已采集数 "_gbk + integer_text(run_total));
  if (output.failed()) controls.set_status(1, unwritable_file_text(output.path()));
}

}  // namespace vd
