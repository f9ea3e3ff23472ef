// The settings file's reader and writer on any INI text: a value written reads back, and no other value
// changes.
//
// Input: the contents, a section, a key, the value, and a second key of the same section as pieces.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "text/settings_file.h"
#include "text/text_ops.h"

namespace {

std::string_view without_blanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The value as the reader gives it: blanks and one pair of quotation marks around the whole dropped.
std::string_view as_read(std::string_view value) {
  value = without_blanks(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value.remove_prefix(1);
    value.remove_suffix(1);
  }
  return value;
}

bool same_name(std::string_view a, std::string_view b) {
  a = without_blanks(a);
  b = without_blanks(b);
  return a.size() == b.size() && vd::ascii_lower(a) == vd::ascii_lower(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vd::fuzz::FuzzInput input(data, size);
  const std::string_view contents = input.piece();
  const std::string_view section = input.piece();
  const std::string_view key = input.piece();
  const std::string_view value = input.piece();
  const std::string_view other_key = input.rest();

  (void)vd::find_profile_value(contents, section, key);
  const std::optional<std::string> other_before = vd::find_profile_value(contents, section, other_key);

  const std::optional<std::string> written = vd::with_profile_value(contents, section, key, value);
  if (!written) return 0;
  const std::optional<std::string> read = vd::find_profile_value(*written, section, key);
  VD_FUZZ_CHECK(read.has_value() && *read == as_read(value));
  if (!same_name(key, other_key)) {
    VD_FUZZ_CHECK(vd::find_profile_value(*written, section, other_key) == other_before);
  }
  return 0;
}
