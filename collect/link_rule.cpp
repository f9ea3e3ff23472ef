#include "collect/link_rule.h"

#include "collect/refresh_target.h"
#include "collect/text_between.h"
#include "text/text_ops.h"

namespace vd {

std::string link_before_redirect(const EngineProfile& profile, std::string_view raw_link) {
  if (profile.link_unwrap.empty()) return std::string(raw_link);
  int position = 1;
  return text_between_any(raw_link, profile.link_unwrap, position);
}

bool needs_redirect_query(const EngineProfile& profile, std::string_view link) {
  return !profile.redirect_prefix.empty() && find_part(link, profile.redirect_prefix, 1, true) > 0;
}

std::string resolve_link(const EngineProfile& profile, std::string_view link, WebAccess& web) {
  if (!needs_redirect_query(profile, link)) return std::string(link);
  return redirect_target(web.query_redirect(link));
}

std::string redirect_target(RedirectAnswer&& answer) {
  if (!answer.location.empty()) return std::move(answer.location);
  return refresh_target(answer.body);
}

}  // namespace vd
