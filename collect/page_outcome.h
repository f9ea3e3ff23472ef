// What a fetched result page turned out to be, so that a run can tell a blocked or failed page from the
// engine's own end of results and say so.
//
// Texts are GBK. Pure functions, any thread.
#pragma once

#include <string>
#include <string_view>

#include "collect/engine_profile.h"

namespace vd {

enum class PageOutcome {
  results,         // the page gave entries and was accepted
  end_of_results,  // no entries, or the entries of the previous page again: the engine's own end
  failed,          // the request brought back nothing (refused, reset, empty body)
  timed_out,       // the request ran out of time
  verification,    // the engine asked for a verification (a captcha) instead of results
};

// The kinds of trouble, in the order reports list them.
inline constexpr PageOutcome kTroubleOutcomes[] = {PageOutcome::verification, PageOutcome::failed,
                                                   PageOutcome::timed_out};

inline bool is_trouble(PageOutcome outcome) {
  return outcome == PageOutcome::failed || outcome == PageOutcome::timed_out ||
         outcome == PageOutcome::verification;
}

// A page that gave no entries: a failure (empty text), a time-out (the time-out message), a
// verification page (a sign of the profile in the text or the final address) or else the end of
// results. A page that gave entries is a page with results whatever else it holds, so a result that
// merely mentions a sign's words is never taken for a captcha.
PageOutcome classify_page(const EngineProfile& profile, std::string_view page_text,
                          std::string_view final_url, bool has_entries);

// True when the text or the final address shows one of the signs.
bool is_verification_page(const VerificationSigns& signs, std::string_view page_text,
                          std::string_view final_url);

// One final-address sign against an address: "/x" matches a path that begins with /x; a host name
// matches that host and its subdomains. Letter case ignored; the scheme, user, port and query are not
// looked at.
bool final_address_matches(std::string_view final_url, std::string_view sign);

// Status pane 1 after a troubled page: "搜索引擎要求验证，已停止该关键词", "网页无法访问" or "访问超时";
// empty for the other outcomes.
std::string outcome_status_text(PageOutcome outcome);

// The final message's line for a kind of trouble, naming the keywords it hit, e.g.
// "以下关键词被搜索引擎要求验证：外星人，2012". Empty for the other outcomes.
std::string trouble_line(PageOutcome outcome, std::string_view joined_keywords);

}  // namespace vd
