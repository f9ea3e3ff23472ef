// The block cut and the entry walk of each engine's result page, the link rules on what the walk takes,
// and the output line made from each entry.
//
// Input: the engine byte, then the line template as a piece, then the page text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "collect/engine_profile.h"
#include "collect/link_rule.h"
#include "collect/output_records.h"
#include "collect/result_page.h"
#include "collect/text_between.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vd::fuzz::FuzzInput input(data, size);
  const auto engine = static_cast<vd::SearchEngine>(input.byte() % vd::kEngineCount);
  const std::string_view line_template = input.piece();
  const std::string_view page = input.rest();
  const vd::EngineProfile& profile = vd::engine_profile(engine);

  const std::string block = vd::cut_result_block(page, profile);
  // The cut only takes bytes out of the page (or, without quotes in the markers, out of the same page).
  VD_FUZZ_CHECK(block.size() <= page.size());

  std::vector<vd::RawEntry> entries;
  vd::walk_entries(block, profile, [&](vd::RawEntry&& entry) {
    VD_FUZZ_CHECK(!entry.link.empty());
    VD_FUZZ_CHECK(entry.link.size() <= block.size() && entry.title.size() <= block.size());
    entries.push_back(std::move(entry));
    return entries.size() < 1000;
  });
  for (const vd::RawEntry& raw : entries) {
    (void)vd::needs_redirect_query(profile, raw.link);
    (void)vd::render_line(line_template, vd::ResultEntry{raw.title, raw.link});
  }

  // The cut moves its position forward and never past the end.
  int position = 1;
  for (int i = 0; i < 8; ++i) {
    const int before = position;
    const std::string between = vd::text_between_any(page, profile.heading, position);
    VD_FUZZ_CHECK(position >= before);
    VD_FUZZ_CHECK(position <= static_cast<int>(page.size()) + 1);
    if (between.empty()) break;
  }
  return 0;
}
