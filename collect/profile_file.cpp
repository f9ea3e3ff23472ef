#include "collect/profile_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "text/disk_file.h"
#include "text/encoding.h"
#include "text/numbers.h"
#include "text/settings_file.h"
#include "text/text_ops.h"

namespace vd {

namespace {

constexpr std::string_view kSeparator = " || ";

struct MarkerKey {
  const char* name;
  MarkerAlternatives EngineProfile::*field;
  bool required;  // false: an empty value means "none"
};

const MarkerKey kMarkerKeys[] = {
    {"block", &EngineProfile::block, true},   {"heading", &EngineProfile::heading, true},
    {"anchor", &EngineProfile::anchor, true}, {"title", &EngineProfile::title, true},
    {"link", &EngineProfile::link, true},     {"unwrap", &EngineProfile::link_unwrap, false},
};
constexpr int kMarkerKeyCount = sizeof kMarkerKeys / sizeof kMarkerKeys[0];

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && (is_blank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// Trimmed, then one pair of double quotes around the whole dropped.
std::string unquoted(std::string_view text) {
  text = trimmed(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
  return std::string(text);
}

// The form unquoted() reads back as the same text.
std::string quoted_if_needed(std::string_view text) {
  const bool needs = !text.empty() && (is_blank(text.front()) || is_blank(text.back()) ||
                                       (text.size() >= 2 && text.front() == '"' && text.back() == '"'));
  return needs ? "\"" + std::string(text) + "\"" : std::string(text);
}

std::vector<std::string> alternatives_of(std::string_view value) {
  std::vector<std::string> pieces;
  if (trimmed(value).empty()) return pieces;
  for (;;) {
    const std::size_t at = value.find(kSeparator);
    pieces.push_back(unquoted(value.substr(0, at)));
    if (at == std::string_view::npos) break;
    value.remove_prefix(at + kSeparator.size());
  }
  return pieces;
}

std::string alternatives_text(const std::vector<std::string>& pieces) {
  std::string text;
  for (const std::string& piece : pieces) {
    if (!text.empty()) text += kSeparator;
    text += quoted_if_needed(piece);
  }
  return text;
}

bool has_blank_or_control(std::string_view text) {
  for (unsigned char c : text) {
    if (c <= ' ' || c == 0x7F) return true;
  }
  return false;
}

bool is_host_name(std::string_view text) {
  if (text.empty()) return false;
  for (unsigned char c : text) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                    c == '-' || c == ':';
    if (!ok) return false;
  }
  return true;
}

std::optional<bool> boolean_of(std::string_view text) {
  const std::string lower = ascii_lower(text);
  if (lower == "yes" || lower == "true" || lower == "1" || lower == "on") return true;
  if (lower == "no" || lower == "false" || lower == "0" || lower == "off") return false;
  return std::nullopt;
}

std::optional<double> real_of(std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// What the file gives for one side of a marker, kept until every line is read.
struct GivenSide {
  std::optional<std::vector<std::string>> values;
  int line = 0;
};

struct GivenMarker {
  GivenSide start;
  GivenSide end;
};

class Parser {
 public:
  explicit Parser(const ProfileTable& base) { load_.profiles = base; }

  ProfileLoad run(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const std::string text = is_valid_utf8(bytes) ? utf8_to_gbk(bytes) : std::string(bytes);
    std::string_view rest = text;
    int number = 0;
    while (!rest.empty()) {
      const std::size_t end = rest.find('\n');
      ++number;
      read_line(number, rest.substr(0, end));
      if (end == std::string_view::npos) break;
      rest.remove_prefix(end + 1);
    }
    apply_markers();
    return std::move(load_);
  }

 private:
  void warn(int line, std::string reason) { load_.warnings.push_back({line, std::move(reason)}); }

  void read_line(int number, std::string_view raw) {
    const std::string_view line = trimmed(raw);
    if (line.empty() || line.front() == ';' || line.front() == '#') return;
    if (line.front() == '[') {
      in_section_ = true;
      engine_.reset();
      ignored_section_line_ = number;
      if (line.back() != ']') return warn(number, "broken section line, no closing ']'");
      const std::string name(trimmed(line.substr(1, line.size() - 2)));
      engine_ = engine_by_name(name);
      if (!engine_)
        return warn(number, "unknown engine section [" + name + "] (baidu, 360, sogou or google)");
      ignored_section_line_ = 0;
      return;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
      return warn(number, "broken line, neither [section] nor key = value");
    const std::string key = ascii_lower(trimmed(line.substr(0, equals)));
    const std::string_view value = trimmed(line.substr(equals + 1));
    if (key.empty()) return warn(number, "broken line, no key before '='");
    if (!in_section_) return warn(number, "key '" + key + "' before any [engine] section");
    if (!engine_) return warn(number, "key in the section of line " + std::to_string(ignored_section_line_));
    const int engine = static_cast<int>(*engine_);
    const auto [seen, first] = seen_keys_.try_emplace({engine, key}, number);
    if (!first) {
      return warn(number, "key '" + key + "' already given on line " + std::to_string(seen->second));
    }
    if (std::string reason = apply(engine, key, value, number); !reason.empty()) {
      seen_keys_.erase({engine, key});
      warn(number, reason);
    }
  }

  // Empty when the value was taken; else the reason it was not.
  std::string apply(int engine, const std::string& key, std::string_view value, int number) {
    EngineProfile& profile = load_.profiles[engine];
    const std::string text = unquoted(value);
    if (key == "host") {
      if (!is_host_name(text)) return "bad value for host: '" + text + "' is not a host name";
      profile.host = text;
    } else if (key == "path_and_query") {
      if (text.empty() || text.front() != '/' || has_blank_or_control(text)) {
        return "bad value for path_and_query: it must begin with '/' and hold no blanks";
      }
      profile.path_and_query = text;
    } else if (key == "page_parameter") {
      if (has_blank_or_control(text)) return "bad value for page_parameter: it must hold no blanks";
      profile.page_parameter = text;
    } else if (key == "encode_keyword") {
      const std::optional<bool> on = boolean_of(text);
      if (!on) return "bad value for encode_keyword: '" + text + "' (yes or no)";
      profile.encode_keyword = *on;
    } else if (key == "page_offset" || key == "page_factor") {
      const std::optional<double> number_value = real_of(text);
      if (!number_value) return "bad value for " + key + ": '" + text + "' is not a number";
      (key == "page_offset" ? profile.page_value.page_offset : profile.page_value.page_factor) =
          *number_value;
    } else if (key == "redirect_prefix") {
      profile.redirect_prefix = text;
    } else if (key == "verify.body" || key == "verify.address") {
      std::vector<std::string> signs = alternatives_of(value);
      for (const std::string& sign : signs) {
        if (sign.empty()) return "bad value for " + key + ": an empty alternative";
        if (key == "verify.address" &&
            !(sign.front() == '/' ? !has_blank_or_control(sign)
                                  : is_host_name(sign) && sign.find(':') == std::string::npos)) {
          return "bad value for verify.address: '" + sign + "' is neither a /path nor a host name";
        }
      }
      (key == "verify.body" ? profile.verification.body_texts : profile.verification.final_addresses) =
          std::move(signs);
    } else {
      return apply_marker(engine, key, value, number);
    }
    return {};
  }

  std::string apply_marker(int engine, const std::string& key, std::string_view value, int number) {
    const std::size_t dot = key.rfind('.');
    const std::string side = dot == std::string::npos ? std::string() : key.substr(dot + 1);
    const std::string name = dot == std::string::npos ? key : key.substr(0, dot);
    for (int m = 0; m < kMarkerKeyCount; ++m) {
      if (name != kMarkerKeys[m].name || (side != "start" && side != "end")) continue;
      std::vector<std::string> markers = alternatives_of(value);
      for (const std::string& marker : markers) {
        if (marker.empty()) return "bad value for " + key + ": an empty alternative";
      }
      if (markers.empty() && kMarkerKeys[m].required)
        return "bad value for " + key + ": a marker cannot be empty";
      GivenSide& given = side == "start" ? given_[engine][m].start : given_[engine][m].end;
      given.values = std::move(markers);
      given.line = number;
      return {};
    }
    return "unknown key '" + key + "'";
  }

  // Pairs each marker's starts and ends once every line is read, so that the two keys may come in
  // either order.
  void apply_markers() {
    for (int engine = 0; engine < kEngineCount; ++engine) {
      for (int m = 0; m < kMarkerKeyCount; ++m) {
        const GivenMarker& given = given_[engine][m];
        if (!given.start.values && !given.end.values) continue;
        MarkerAlternatives& pairs = load_.profiles[engine].*kMarkerKeys[m].field;
        if ((given.start.values && given.start.values->empty()) ||
            (given.end.values && given.end.values->empty())) {
          pairs.clear();  // an empty unwrap: none
          continue;
        }
        std::vector<std::string> starts, ends;
        for (const MarkerPair& pair : pairs) {
          starts.push_back(pair.start);
          ends.push_back(pair.end);
        }
        if (given.start.values) starts = *given.start.values;
        if (given.end.values) ends = *given.end.values;
        if (starts.empty() || ends.empty()) {
          const GivenSide& lone = given.start.values ? given.start : given.end;
          const std::string missing =
              std::string(kMarkerKeys[m].name) + (given.start.values ? ".end" : ".start");
          warn(lone.line, "no " + missing + " to pair with");
          continue;
        }
        MarkerAlternatives merged;
        for (std::size_t i = 0; i < std::max(starts.size(), ends.size()); ++i) {
          MarkerPair pair{starts[std::min(i, starts.size() - 1)], ends[std::min(i, ends.size() - 1)]};
          // A pair tried again cannot find anything new.
          if (std::find(merged.begin(), merged.end(), pair) == merged.end())
            merged.push_back(std::move(pair));
        }
        pairs = std::move(merged);
      }
    }
  }

  ProfileLoad load_;
  std::optional<SearchEngine> engine_;
  bool in_section_ = false;
  int ignored_section_line_ = 0;  // the unknown or broken section line whose keys are being skipped
  std::map<std::pair<int, std::string>, int> seen_keys_;
  GivenMarker given_[kEngineCount][kMarkerKeyCount];
};

void add_key(std::string& text, std::string_view key, std::string_view value) {
  text += key;
  text += value.empty() ? " =\n" : " = ";
  if (!value.empty()) {
    text += value;
    text += '\n';
  }
}

}  // namespace

ProfileLoad parse_profiles(std::string_view file_bytes, const ProfileTable& base) {
  return Parser(base).run(file_bytes);
}

ProfileLoad read_profiles_file(std::string_view path) {
  const std::string native = native_path(path);
  std::error_code error;
  std::ifstream in;
  if (std::filesystem::is_regular_file(native, error)) in.open(native, std::ios::binary);
  std::ostringstream bytes;
  if (in) bytes << in.rdbuf();
  if (!in.is_open() || in.bad()) {
    ProfileLoad load;
    load.profiles = engine_profiles();
    load.path = path;
    return load;
  }
  ProfileLoad load = parse_profiles(bytes.str());
  load.path = path;
  load.read = true;
  return load;
}

std::string profiles_file_text(const ProfileTable& profiles) {
  std::string text =
      "; verodero engine profiles. Keys left out keep the built-in value; alternatives are separated by\n"
      "; \" || \" and tried in order; the n-th .start pairs with the n-th .end.\n";
  for (const EngineProfile& profile : profiles) {
    text += "\n[";
    text += engine_name(profile.engine);
    text += "]\n";
    add_key(text, "host", quoted_if_needed(profile.host));
    add_key(text, "path_and_query", quoted_if_needed(profile.path_and_query));
    add_key(text, "encode_keyword", profile.encode_keyword ? "yes" : "no");
    add_key(text, "page_parameter", quoted_if_needed(profile.page_parameter));
    add_key(text, "page_offset", real_text(profile.page_value.page_offset));
    add_key(text, "page_factor", real_text(profile.page_value.page_factor));
    for (const MarkerKey& key : kMarkerKeys) {
      std::vector<std::string> starts, ends;
      for (const MarkerPair& pair : profile.*key.field) {
        starts.push_back(pair.start);
        ends.push_back(pair.end);
      }
      add_key(text, std::string(key.name) + ".start", alternatives_text(starts));
      add_key(text, std::string(key.name) + ".end", alternatives_text(ends));
    }
    add_key(text, "redirect_prefix", quoted_if_needed(profile.redirect_prefix));
    add_key(text, "verify.body", alternatives_text(profile.verification.body_texts));
    add_key(text, "verify.address", alternatives_text(profile.verification.final_addresses));
  }
  return text;
}

std::string profile_warnings_text(const ProfileLoad& load) {
  std::string text;
  for (const ProfileWarning& warning : load.warnings) {
    text += load.path + ":" + std::to_string(warning.line) + ": " + warning.reason + " (line ignored)\n";
  }
  return text;
}

std::string default_profiles_path() {
  const std::string settings = settings_file_path();
  const std::size_t slash = settings.rfind('/');
  return (slash == std::string::npos ? std::string() : settings.substr(0, slash + 1)) + "engines.ini";
}

ProfileLoad load_active_profiles(std::string_view path) {
  ProfileLoad load = read_profiles_file(path);
  if (load.read) {
    set_active_profiles(load.profiles);
  } else {
    reset_active_profiles();
  }
  return load;
}

}  // namespace vd
