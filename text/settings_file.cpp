#include "text/settings_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "text/disk_file.h"
#include "text/encoding.h"
#include "text/gbk_literal.h"
#include "text/text_ops.h"

namespace vd {
namespace {

using namespace vd::literals;

// Files above this size are not read: a settings file is a few kilobytes, and this keeps a stray huge
// file from taking the program's memory.
constexpr off_t kLargestReadFile = 256L * 1024 * 1024;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim_blanks(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ascii_lower(a) == ascii_lower(b);
}

// One line of the file without its line end; `end` is the offset just past the line end.
struct Line {
  std::string_view text;
  std::size_t begin = 0;
  std::size_t end = 0;
};

std::vector<Line> split_lines(std::string_view contents) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < contents.size()) {
    std::size_t lf = contents.find('\n', pos);
    std::size_t stop = lf == std::string_view::npos ? contents.size() : lf;
    std::string_view text = contents.substr(pos, stop - pos);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    std::size_t next = lf == std::string_view::npos ? contents.size() : lf + 1;
    lines.push_back({text, pos, next});
    pos = next;
  }
  return lines;
}

// The section name of a header line, or nullopt when the line is no header.
std::optional<std::string_view> header_name(std::string_view line) {
  line = trim_blanks(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  std::size_t close = line.find(']');
  return trim_blanks(close == std::string_view::npos ? line : line.substr(0, close));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> key_line(std::string_view line) {
  line = trim_blanks(line);
  if (line.empty() || line.front() == ';') return std::nullopt;
  std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyLine{trim_blanks(line.substr(0, eq)), trim_blanks(line.substr(eq + 1))};
}

std::string_view unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value.remove_prefix(1);
    value.remove_suffix(1);
  }
  return value;
}

bool holds_line_break(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::string_view without_bom(std::string_view contents) {
  if (contents.substr(0, 3) == "\xEF\xBB\xBF") contents.remove_prefix(3);
  return contents;
}

// The whole file, or nullopt when it cannot be read. An editor's UTF-8 copy (with a byte order mark) is
// turned into GBK.
std::optional<std::string> read_whole_file(std::string_view path) {
  if (path.empty()) return std::nullopt;
  int fd = ::open(native_path(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kLargestReadFile) {
    ::close(fd);
    return std::nullopt;
  }
  std::string data;
  data.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    data.append(buffer, static_cast<std::size_t>(n));
    if (data.size() > static_cast<std::size_t>(kLargestReadFile)) {
      ::close(fd);
      return std::nullopt;
    }
  }
  ::close(fd);
  if (data.substr(0, 3) == "\xEF\xBB\xBF") return utf8_to_gbk_plain(std::string_view(data).substr(3));
  return data;
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Replaces the file by one holding exactly `bytes`: a temporary file beside it, flushed, then renamed over
// it, so readers see the old file or the new one, never a part.
bool replace_file(std::string_view path, std::string_view bytes) {
  std::string target = native_path(path);
  std::string temp = target + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  struct stat old_info {};
  mode_t mode = ::stat(target.c_str(), &old_info) == 0 ? (old_info.st_mode & 07777) : 0644;
  bool ok = ::fchmod(fd, mode) == 0 && write_all(fd, bytes) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok && ::rename(temp.c_str(), target.c_str()) == 0) return true;
  ::unlink(temp.c_str());
  return false;
}

std::string line_end_of(std::string_view contents) {
  std::size_t lf = contents.find('\n');
  if (lf == std::string_view::npos || (lf > 0 && contents[lf - 1] == '\r')) return "\r\n";
  return "\n";
}

bool valid_names(std::string_view section, std::string_view key, std::string_view value) {
  std::string_view s = trim_blanks(section);
  std::string_view k = trim_blanks(key);
  if (s.empty() || k.empty() || s.size() != section.size() || k.size() != key.size()) return false;
  if (holds_line_break(section) || holds_line_break(key) || holds_line_break(value)) return false;
  if (section.find(']') != std::string_view::npos) return false;
  return key.find('=') == std::string_view::npos && key.front() != '[' && key.front() != ';';
}

std::string escape_line_breaks(std::string_view text) {
  std::string escaped = replace_parts(text, "\r\n", line_break_marker());
  escaped = replace_parts(escaped, "\r", line_break_marker());
  return replace_parts(escaped, "\n", line_break_marker());
}

std::string restore_line_breaks(std::string_view text) {
  return replace_parts(text, line_break_marker(), "\r\n");
}

std::string cut_to_buffer(std::string_view text) {
  return std::string(text.substr(0, static_cast<std::size_t>(kProfileBufferSize - 1)));
}

std::string utf8_env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string home_folder_utf8() {
  std::string home = utf8_env("HOME");
  if (!home.empty()) return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
    return entry->pw_dir;
  return "/tmp";
}

// mkdir -p on a native path; true when the folder exists afterwards.
bool make_native_folders(const std::string& folder) {
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    std::string level = slash == std::string::npos ? folder : folder.substr(0, slash);
    if (::mkdir(level.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Appends the lines to out so that the last one is ended: by eol when it has no line end, and by eol in
// place of a lone CR, which would otherwise stay inside the line's text.
void end_last_line(std::string& out, std::string_view lines, const std::string& eol) {
  if (!lines.empty() && lines.back() == '\r') lines.remove_suffix(1);
  out += lines;
  if (!lines.empty() && lines.back() != '\n') out += eol;
}

}  // namespace

std::optional<std::string> find_profile_value(std::string_view contents, std::string_view section,
                                              std::string_view key) {
  contents = without_bom(contents);
  section = trim_blanks(section);
  key = trim_blanks(key);
  bool in_section = false;
  for (const Line& line : split_lines(contents)) {
    if (auto name = header_name(line.text)) {
      in_section = same_name(*name, section);
      continue;
    }
    if (!in_section) continue;
    if (auto entry = key_line(line.text); entry && same_name(entry->key, key)) {
      return std::string(unquoted(entry->value));
    }
  }
  return std::nullopt;
}

std::optional<std::string> with_profile_value(std::string_view contents, std::string_view section,
                                              std::string_view key, std::string_view value) {
  if (!valid_names(section, key, value)) return std::nullopt;
  // A byte order mark stays where it is: only the text after it holds lines.
  const std::string bom(contents.substr(0, contents.size() - without_bom(contents).size()));
  contents = without_bom(contents);
  const std::string eol = line_end_of(contents);
  const std::string new_line = std::string(key) + "=" + std::string(value);

  bool in_section = false;
  bool in_first_section = false;
  bool section_found = false;
  std::size_t append_at = 0;  // just past the last non-empty line of the first matching section
  for (const Line& line : split_lines(contents)) {
    if (auto name = header_name(line.text)) {
      in_section = same_name(*name, section);
      in_first_section = in_section && !section_found;
      if (in_first_section) {
        section_found = true;
        append_at = line.end;
      }
      continue;
    }
    if (!in_section) continue;
    if (auto entry = key_line(line.text); entry && same_name(entry->key, key)) {
      std::size_t text_end = line.begin + line.text.size();
      return bom + std::string(contents.substr(0, line.begin)) + new_line +
             std::string(contents.substr(text_end));
    }
    if (in_first_section && !trim_blanks(line.text).empty()) append_at = line.end;
  }

  std::string result = bom;
  if (section_found) {
    end_last_line(result, contents.substr(0, append_at), eol);
    result += new_line + eol;
    result += contents.substr(append_at);
    return result;
  }
  end_last_line(result, contents, eol);
  result += "[" + std::string(section) + "]" + eol + new_line + eol;
  return result;
}

std::string read_profile_text(std::string_view path, std::string_view section, std::string_view key,
                              std::string_view default_value) {
  std::optional<std::string> contents = read_whole_file(path);
  std::optional<std::string> value;
  if (contents) value = find_profile_value(*contents, section, key);
  return cut_to_buffer(value ? std::string_view(*value) : default_value);
}

bool write_profile_text(std::string_view path, std::string_view section, std::string_view key,
                        std::string_view value) {
  if (path.empty()) return false;
  std::optional<std::string> contents = read_whole_file(path);
  if (!contents) {
    // A file that exists but cannot be read is not replaced: that would lose what it holds.
    struct stat info {};
    if (::stat(native_path(path).c_str(), &info) == 0) return false;
    contents.emplace();
  }
  std::optional<std::string> updated = with_profile_value(*contents, section, key, value);
  return updated && replace_file(path, *updated);
}

const std::string& line_break_marker() { return "┊*┊"_gbk; }

bool SettingsFile::write_text(std::string_view key, std::string_view value) {
  return write_profile_text(file_path_, section_, key, escape_line_breaks(value));
}

std::string SettingsFile::read_text(std::string_view key, std::string_view default_value) {
  return restore_line_breaks(read_profile_text(file_path_, section_, key, escape_line_breaks(default_value)));
}

// The choice texts, as bool_text gives them.
bool SettingsFile::write_option(std::string_view caption, bool on) {
  return write_text(caption, on ? "真"_gbk : "假"_gbk);
}

bool SettingsFile::read_option(std::string_view caption, bool current) {
  return read_text(caption, current ? "真"_gbk : "假"_gbk) == "真"_gbk;
}

const std::string& settings_section() { return "基本"_gbk; }

const std::array<std::string, kSettingsKeyCount>& settings_keys() {
  static const std::array<std::string, kSettingsKeyCount> keys = {
      "关键词"_gbk,   "百度"_gbk,     "360",        "搜狗"_gbk,     "谷歌"_gbk,
      "搜索页数"_gbk, "保存目录"_gbk, "扩展名"_gbk, "保存模板"_gbk, "起始页号"_gbk};
  return keys;
}

std::string settings_file_path() {
  static const char kName[] = "verodero.ini";
  std::string program_folder = program_directory();
  if (!program_folder.empty() && ::access(native_path(program_folder).c_str(), W_OK) == 0) {
    return program_folder + "/" + kName;
  }
  std::string config = utf8_env("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') config = home_folder_utf8() + "/.config";
  std::string folder = config + "/verodero";
  make_native_folders(folder);
  return utf8_to_gbk_plain(folder) + "/" + kName;
}

}  // namespace vd
