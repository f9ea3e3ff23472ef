#include "collect/result_page.h"

#include "collect/link_rule.h"
#include "collect/text_between.h"
#include "text/event_pump.h"

namespace vd {

namespace {

// Title and raw href of the heading's first anchor; the link is empty when there is none.
RawEntry read_heading(std::string_view heading, const EngineProfile& profile) {
  int position = 1;
  const MarkerCut anchor = cut_between_any(heading, profile.anchor, position);
  if (anchor.text.empty()) return {};
  // The anchor's own end marker is put back, so that the title cut finds the end of the anchor text.
  const std::string& anchor_end = profile.anchor[anchor.pair_index].end;
  position = 1;
  std::string title = text_between_any(anchor.text + anchor_end, profile.title, position);
  position = 1;
  const std::string raw_link = text_between_any(anchor.text, profile.link, position);
  return {std::move(title), link_before_redirect(profile, raw_link)};
}

}  // namespace

std::string cut_result_block(std::string_view page_text, const EngineProfile& profile) {
  int position = 1;
  return text_between_any(page_text, profile.block, position);
}

void walk_entries(std::string_view block, const EngineProfile& profile, const EntrySink& sink) {
  int position = 1;
  for (;;) {
    pump_events();
    const std::string heading = text_between_any(block, profile.heading, position);
    if (heading.empty()) return;
    RawEntry entry = read_heading(heading, profile);
    if (entry.link.empty()) return;
    if (!sink(std::move(entry))) return;
  }
}

}  // namespace vd
