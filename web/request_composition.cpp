#include "web/request_composition.h"

#include "text/numbers.h"
#include "text/text_ops.h"

namespace vd {

namespace {

constexpr std::string_view crlf = "\r\n";

const std::string accept_line =
    "Accept: image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";

bool contains(std::string_view text, std::string_view part) { return find_part(text, part, 1, true) != -1; }

bool is_blank(std::string_view text) {
  for (char c : text)
    if (c != ' ' && c != '\t') return false;
  return true;
}

std::string_view strip_blanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ascii_lower(a) == ascii_lower(b);
}

// Lines of a text split at LF, each without one CR before its LF.
std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    if (lf != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    if (lf == std::string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
  return lines;
}

}  // namespace

std::uint32_t request_flags(bool secure, std::string_view cookies, bool allow_redirects) {
  std::uint32_t flags = flag_reload | flag_need_file;
  if (!trim_spaces(cookies).empty()) flags |= flag_no_cookies;
  if (!allow_redirects) flags |= flag_no_auto_redirect;
  if (secure) return flag_secure;
  return flags | flag_ignore_redirect_to_https;
}

TransferRules transfer_rules(std::uint32_t flags) {
  TransferRules rules;
  rules.tls = (flags & flag_secure) != 0;
  rules.use_cookie_store = (flags & flag_no_cookies) == 0;
  rules.follow_redirects = (flags & flag_no_auto_redirect) == 0;
  return rules;
}

const std::string& default_user_agent() {
  static const std::string agent =
      "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
      ".NET CLR 3.5.21022)";
  return agent;
}

std::string user_agent(std::string_view extra_headers) {
  constexpr std::string_view name = "User-Agent:";
  int at = find_part(extra_headers, name, 1, true);
  if (at == -1) return default_user_agent();
  int value_at = at + static_cast<int>(name.size());
  int end = find_part(extra_headers, crlf, value_at);
  if (end == -1) return {};
  return trim_spaces(middle_bytes(extra_headers, value_at, end - value_at));
}

std::string compose_header_text(const HeaderInput& input) {
  std::string text(input.extra_headers);
  if (!contains(text, "Accept")) text += accept_line;
  if (contains(text, "RefererNo")) {
    text = replace_parts(text, "RefererNo", "", 1, 1, true);
  } else if (!contains(text, "Referer")) {
    text += "Referer: ";
    text += input.url;
    text += crlf;
  }
  if (!contains(text, "Accept-Language")) text += "Accept-Language: zh-cn\r\n";
  if (input.post && !input.body.empty()) {
    if (!contains(text, "Content-Type")) text += "Content-Type: application/x-www-form-urlencoded\r\n";
    if (!contains(text, "Content-Length"))
      text += "Content-Length: " + integer_text(static_cast<std::int64_t>(input.body.size())) + "\r\n";
  }
  if (!input.cookies.empty()) {
    text += "Cookie: ";
    text += input.cookies;
    text += "\r\n\r\n";
  }
  return text;
}

std::vector<std::string> client_header_entries(std::string_view header_text, bool post) {
  std::vector<std::string> entries;
  std::vector<std::string> names;
  for (std::string_view line : lines_of(header_text)) {
    if (line.empty()) continue;
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
      entries.emplace_back(line);  // not a header line; the client drops it
      continue;
    }
    std::string_view name = strip_blanks(line.substr(0, colon));
    names.emplace_back(name);
    if (is_blank(line.substr(colon + 1)))
      entries.push_back(std::string(line.substr(0, colon)) + ";");  // the client's form for an empty value
    else
      entries.emplace_back(line);
  }
  auto carries = [&](std::string_view name) {
    for (const auto& n : names)
      if (same_name(n, name)) return true;
    return false;
  };
  std::vector<std::string_view> own = {"Accept", "Expect"};
  if (post) {
    own.push_back("Content-Type");
    own.push_back("Content-Length");
  }
  for (std::string_view name : own)
    if (!carries(name)) entries.push_back(std::string(name) + ":");
  return entries;
}

CookiesReceived cookies_received(std::string_view header_block) {
  constexpr std::string_view header_name = "set-cookie:";
  CookiesReceived result;
  for (std::string_view line : lines_of(header_block)) {
    if (line.size() < header_name.size() || ascii_lower(line.substr(0, header_name.size())) != header_name)
      continue;
    std::string_view value = strip_blanks(line.substr(header_name.size()));
    std::size_t semicolon = value.find(';');
    result.text += value.substr(0, semicolon);
    result.text += ';';
    std::size_t equals = value.find('=');
    if (equals == std::string_view::npos || equals == 0) continue;  // no name: nothing to store
    result.cookies.push_back({std::string(value.substr(0, equals)), std::string(value.substr(equals + 1))});
  }
  return result;
}

}  // namespace vd
