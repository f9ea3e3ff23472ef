#include "collect/page_outcome.h"

#include "text/gbk_literal.h"
#include "text/text_ops.h"
#include "web/web_request.h"

namespace vd {

using namespace vd::literals;

namespace {

struct AddressPieces {
  std::string host;  // lower case, without user and port
  std::string path;  // from the first "/" after the host, query and fragment cut off; "/" when none
};

AddressPieces address_pieces(std::string_view url) {
  if (const std::size_t scheme = url.find("://"); scheme != std::string_view::npos) {
    url.remove_prefix(scheme + 3);
  }
  const std::size_t authority_end = url.find_first_of("/?#");
  std::string_view authority = url.substr(0, authority_end);
  std::string_view rest =
      authority_end == std::string_view::npos ? std::string_view() : url.substr(authority_end);
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos)
    authority.remove_prefix(at + 1);
  if (const std::size_t colon = authority.find(':'); colon != std::string_view::npos) {
    authority = authority.substr(0, colon);
  }
  if (const std::size_t query = rest.find_first_of("?#"); query != std::string_view::npos)
    rest = rest.substr(0, query);
  AddressPieces pieces{ascii_lower(authority), std::string(rest)};
  if (pieces.path.empty()) pieces.path = "/";
  return pieces;
}

}  // namespace

bool final_address_matches(std::string_view final_url, std::string_view sign) {
  if (final_url.empty() || sign.empty()) return false;
  const AddressPieces pieces = address_pieces(final_url);
  if (sign.front() == '/') return ascii_lower(pieces.path).rfind(ascii_lower(sign), 0) == 0;
  const std::string host = ascii_lower(sign);
  if (pieces.host == host) return true;
  return pieces.host.size() > host.size() && pieces.host.ends_with(host) &&
         pieces.host[pieces.host.size() - host.size() - 1] == '.';
}

bool is_verification_page(const VerificationSigns& signs, std::string_view page_text,
                          std::string_view final_url) {
  for (const std::string& sign : signs.final_addresses) {
    if (final_address_matches(final_url, sign)) return true;
  }
  for (const std::string& text : signs.body_texts) {
    if (!text.empty() && find_part(page_text, text, 1, true) > 0) return true;
  }
  return false;
}

PageOutcome classify_page(const EngineProfile& profile, std::string_view page_text,
                          std::string_view final_url, bool has_entries) {
  if (has_entries) return PageOutcome::results;
  if (page_text.empty()) return PageOutcome::failed;
  if (page_text == timeout_message()) return PageOutcome::timed_out;
  if (is_verification_page(profile.verification, page_text, final_url)) return PageOutcome::verification;
  return PageOutcome::end_of_results;
}

std::string outcome_status_text(PageOutcome outcome) {
  switch (outcome) {
    case PageOutcome::verification:
      return "搜索引擎要求验证，已停止该关键词"_gbk;
    case PageOutcome::failed:
      return "网页无法访问"_gbk;
    case PageOutcome::timed_out:
      return "访问超时"_gbk;
    default:
      return {};
  }
}

std::string trouble_line(PageOutcome outcome, std::string_view joined_keywords) {
  switch (outcome) {
    case PageOutcome::verification:
      return "以下关键词被搜索引擎要求验证："_gbk + std::string(joined_keywords);
    case PageOutcome::failed:
      return "以下关键词的网页无法访问："_gbk + std::string(joined_keywords);
    case PageOutcome::timed_out:
      return "以下关键词访问超时："_gbk + std::string(joined_keywords);
    default:
      return {};
  }
}

}  // namespace vd
