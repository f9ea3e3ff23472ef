// The engine profiles file, engines.ini: a user's overrides of the built-in engine table, so that an
// engine that changes its markup can be followed without a new build.
//
// Form (one section per engine, any key left out keeps the built-in value):
//
//   ; comment            (also "#"; blank lines are skipped)
//   [baidu]              (sections baidu, 360, sogou, google; letter case ignored)
//   block.end = <p id="page" > || <div id="page" >
//
// Keys: host, path_and_query, encode_keyword (yes/no), page_parameter, page_offset, page_factor (the page
// value is (page + page_offset) * page_factor), the markers block, heading, anchor, title, link and
// unwrap, each as NAME.start and NAME.end, redirect_prefix, verify.body and verify.address.
// A value is the text after the first "=", blanks around it dropped. Values that hold alternatives (the
// markers and the verify keys) separate them with " || "; each alternative is trimmed too, and one pair
// of double quotes around a whole alternative is dropped, so "<h3 " keeps its trailing space. The n-th
// start of a marker pairs with its n-th end, the last of the shorter list standing in for the missing
// ones; the pairs are tried in order (a pair that repeats an earlier one is dropped). An empty unwrap,
// redirect_prefix or verify value means none.
//
// The file is UTF-8 when all of it is valid UTF-8 (a byte order mark is skipped), else GBK. A line that
// cannot be used (an unknown section or key, a bad value, a line that is neither a section, a key nor a
// comment, a key given twice) is reported with its number and reason and ignored; every other line
// applies. All texts in and out of these functions are GBK.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "collect/engine_profile.h"

namespace vd {

struct ProfileWarning {
  int line = 0;        // 1-based
  std::string reason;  // e.g. "unknown key 'blok.start'"
};

struct ProfileLoad {
  ProfileTable profiles;  // the base table with every usable line of the file applied
  std::vector<ProfileWarning> warnings;
  std::string path;   // the file read, as given
  bool read = false;  // the file existed and was read
};

// Applies the file's bytes to base.
ProfileLoad parse_profiles(std::string_view file_bytes, const ProfileTable& base = engine_profiles());

// Reads the file at path (GBK) over the built-in table; read is false (and the table the built-in one)
// when the file is missing or cannot be read.
ProfileLoad read_profiles_file(std::string_view path);

// The table in the file's own form, every key of every engine, LF line ends. Parsing it over any base
// gives the table back.
std::string profiles_file_text(const ProfileTable& profiles);

// One line per warning, "PATH:LINE: REASON (line ignored)", each ended by LF; empty without warnings.
// For the front ends to show once at start.
std::string profile_warnings_text(const ProfileLoad& load);

// engines.ini in the folder of the settings file.
std::string default_profiles_path();

// Reads the file and, when it was read, makes its table the active one (built-ins otherwise). For the
// front ends at start; the result carries the warnings.
ProfileLoad load_active_profiles(std::string_view path);

}  // namespace vd
