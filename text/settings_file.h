// The window's settings file: an INI file in GBK, read and written by our own small profile routines.
//
// The profile routines behave like the classic INI profile functions: section and key names match without
// regard to ASCII letter case; blanks around a value and one pair of quotation marks around a whole value
// are dropped on reading; a value comes back cut to its first 10,239 bytes; writing replaces a key in
// place or appends it to its section, and creates the file and the section on the first write. A file is
// always rewritten whole through a temporary file and a rename, so a crash never leaves half a settings
// file behind. Lines may end in CR LF or LF; a new file gets CR LF. A file that starts with a UTF-8 byte
// order mark is read as UTF-8 (an editor's copy) and written back as GBK.
//
// Paths, sections, keys and values are GBK. No Qt here; the command line reads the same file.
// Nothing throws; failure is false or the default. Not thread-safe per file: one writer at a time.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vd {

// The profile readers' result buffer: at most kProfileBufferSize - 1 bytes of a value come back.
inline constexpr int kProfileBufferSize = 10240;

// The value of key in section of an INI text, blanks and one pair of quotes dropped, not cut; nullopt
// when the section or the key is missing. The first matching key wins.
std::optional<std::string> find_profile_value(std::string_view contents, std::string_view section,
                                              std::string_view key);
// The INI text with key set to value in section: replaced in place, or appended to the section, or
// appended with a new section. nullopt when the names or the value cannot be written as one line (a
// line break anywhere, "=" or a leading "[" or ";" in the key, "]" in the section, an empty name).
std::optional<std::string> with_profile_value(std::string_view contents, std::string_view section,
                                              std::string_view key, std::string_view value);

// The file-backed forms. Reading: a missing or unreadable file gives the default; the answer (value or
// default) is cut to kProfileBufferSize - 1 bytes. Writing: false when the file cannot be written; the
// old file is then left as it was.
std::string read_profile_text(std::string_view path, std::string_view section, std::string_view key,
                              std::string_view default_value);
bool write_profile_text(std::string_view path, std::string_view section, std::string_view key,
                        std::string_view value);

// "┊*┊" in GBK (A9 AE 2A A9 AE): how a line break is kept inside a one-line value.
const std::string& line_break_marker();

// The accessor the window saves and loads through. Line breaks in values travel as the marker.
class SettingsFile {
 public:
  void set_file(std::string_view path) { file_path_ = path; }
  void set_section(std::string_view name) { section_ = name; }
  const std::string& file_path() const { return file_path_; }
  const std::string& section() const { return section_; }

  // Writes the value with every CR LF (and every lone CR or LF) as the marker.
  bool write_text(std::string_view key, std::string_view value);
  // The stored value, or the default when the key is missing, with every marker as CR LF.
  std::string read_text(std::string_view key, std::string_view default_value);

  // A radio button stored under its caption as "真" or "假".
  bool write_option(std::string_view caption, bool on);
  // The state the button takes: on when the stored value (or the current state as the default) is "真".
  bool read_option(std::string_view caption, bool current);

 private:
  std::string file_path_;
  std::string section_;
};

// The section "基本" and the settings keys in the order a save writes them, GBK. Keys 1 to 4 are the
// engine buttons' captions.
const std::string& settings_section();
enum SettingsKey {
  kKeyKeywords = 0,
  kKeyBaidu,
  kKey360,
  kKeySogou,
  kKeyGoogle,
  kKeyPageLimit,
  kKeyOutputDirectory,
  kKeyExtension,
  kKeyTemplate,
  kKeyFirstPage,
  kSettingsKeyCount
};
const std::array<std::string, kSettingsKeyCount>& settings_keys();

// Where the program keeps verodero.ini: the program's folder when it is writable (a portable install),
// else $XDG_CONFIG_HOME/verodero (default ~/.config/verodero), which is created when missing. GBK.
std::string settings_file_path();

}  // namespace vd
