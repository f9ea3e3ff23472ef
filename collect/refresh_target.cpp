#include "collect/refresh_target.h"

#include <vector>

#include "text/text_ops.h"

namespace vd {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

struct Attribute {
  std::string name;  // lower case
  std::string value;
};

// Reads the attributes of the tag whose name ends just before at, up to its ">". Returns them in order.
std::vector<Attribute> tag_attributes(std::string_view body, std::size_t at) {
  std::vector<Attribute> attributes;
  while (at < body.size()) {
    while (at < body.size() && (is_blank(body[at]) || body[at] == '/')) ++at;
    if (at >= body.size() || body[at] == '>') break;
    const std::size_t name_start = at;
    while (at < body.size() && !is_blank(body[at]) && body[at] != '=' && body[at] != '>') ++at;
    Attribute attribute{ascii_lower(body.substr(name_start, at - name_start)), {}};
    while (at < body.size() && is_blank(body[at])) ++at;
    if (at < body.size() && body[at] == '=') {
      ++at;
      while (at < body.size() && is_blank(body[at])) ++at;
      if (at < body.size() && (body[at] == '"' || body[at] == '\'')) {
        const char quote = body[at++];
        const std::size_t end = body.find(quote, at);
        const std::size_t stop = end == std::string_view::npos ? body.size() : end;
        attribute.value = body.substr(at, stop - at);
        at = stop + 1;
      } else {
        const std::size_t value_start = at;
        while (at < body.size() && !is_blank(body[at]) && body[at] != '>') ++at;
        attribute.value = body.substr(value_start, at - value_start);
      }
    }
    attributes.push_back(std::move(attribute));
  }
  return attributes;
}

// "0; url='http://x/'" -> http://x/
std::string url_of_refresh_content(std::string_view content) {
  const std::string lower = ascii_lower(content);
  for (std::size_t at = lower.find("url"); at != std::string::npos; at = lower.find("url", at + 3)) {
    std::size_t next = at + 3;
    while (next < content.size() && is_blank(content[next])) ++next;
    if (next >= content.size() || content[next] != '=') continue;
    std::string_view value = trimmed(content.substr(next + 1));
    if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') &&
        value.back() == value.front()) {
      value = trimmed(value.substr(1, value.size() - 2));
    } else if (!value.empty() && (value.front() == '\'' || value.front() == '"')) {
      value = trimmed(value.substr(1));
    }
    return replace_parts(value, "&amp;", "&", 1, no_limit, false);
  }
  return {};
}

std::string meta_refresh_target(std::string_view body, const std::string& lower) {
  for (std::size_t at = lower.find("<meta"); at != std::string::npos; at = lower.find("<meta", at + 5)) {
    const std::size_t after = at + 5;
    if (after < body.size() && !is_blank(body[after]) && body[after] != '/') continue;  // <metadata>
    bool refresh = false;
    std::string content;
    for (const Attribute& attribute : tag_attributes(body, after)) {
      if (attribute.name == "http-equiv") refresh = ascii_lower(trimmed(attribute.value)) == "refresh";
      if (attribute.name == "content") content = attribute.value;
    }
    if (!refresh) continue;
    std::string target = url_of_refresh_content(content);
    if (!target.empty()) return target;
  }
  return {};
}

std::string location_replace_target(std::string_view body, const std::string& lower) {
  static constexpr std::string_view kCall = "location.replace(";
  for (std::size_t at = lower.find(kCall); at != std::string::npos; at = lower.find(kCall, at + 1)) {
    std::size_t next = at + kCall.size();
    while (next < body.size() && is_blank(body[next])) ++next;
    if (next >= body.size() || (body[next] != '"' && body[next] != '\'')) continue;
    const char quote = body[next++];
    std::string target;
    bool closed = false;
    for (; next < body.size(); ++next) {
      const char c = body[next];
      if (c == quote) {
        closed = true;
        break;
      }
      if (c == '\\' && next + 1 < body.size()) {
        const char escaped = body[next + 1];
        if (escaped == '/' || escaped == '\\' || escaped == '"' || escaped == '\'') {
          target += escaped;
          ++next;
          continue;
        }
      }
      target += c;
    }
    if (closed && !trimmed(target).empty()) return std::string(trimmed(target));
  }
  return {};
}

}  // namespace

std::string refresh_target(std::string_view body) {
  const std::string lower = ascii_lower(body);
  std::string target = meta_refresh_target(body, lower);
  if (target.empty()) target = location_replace_target(body, lower);
  return target;
}

}  // namespace vd
