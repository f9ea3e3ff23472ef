// From the raw href of a result entry to the link that is written out.
//
// Texts are GBK. No link is made absolute and nothing is decoded; the only change besides a redirect
// query is the unwrapping of a target that the engine wraps in its own address (Google's "/url?q=").
#pragma once

#include <string>
#include <string_view>

#include "collect/engine_profile.h"
#include "collect/web_access.h"

namespace vd {

// The link before any redirect query: the raw link itself, or the wrapped target when the profile
// unwraps one (empty when the raw link wraps none, which ends the entry walk).
std::string link_before_redirect(const EngineProfile& profile, std::string_view raw_link);

// True when the profile has a redirect prefix and the link holds it anywhere, letter case ignored.
bool needs_redirect_query(const EngineProfile& profile, std::string_view link);

// The link as written: the redirect target when needs_redirect_query, else the link unchanged. The
// target is the Location of the answer or, without one, the address that the answer's page redirects to
// by a meta refresh or location.replace; empty when neither gave one. Blocks the calling thread for the
// query.
std::string resolve_link(const EngineProfile& profile, std::string_view link, WebAccess& web);

// The target that a redirect query's answer gives, by the rule of resolve_link.
std::string redirect_target(RedirectAnswer&& answer);

}  // namespace vd
