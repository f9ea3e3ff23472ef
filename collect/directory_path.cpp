#include "collect/directory_path.h"

#include "text/disk_file.h"
#include "text/text_ops.h"

namespace vd {

std::string with_trailing_separator(std::string_view directory) {
  std::string result(directory);
  const std::string& separator = path_separator();
  if (!result.ends_with(separator)) result += separator;
  return result;
}

namespace {

// Levels that are not made: they name no folder of their own.
bool is_passed_over(std::string_view prefix, const std::string& separator) {
#ifdef _WIN32
  return byte_length(prefix) == 2;  // a drive such as "C:"
#else
  return prefix.empty() || prefix.ends_with(separator);  // the root, or an empty level of "a//b"
#endif
}

}  // namespace

bool make_directory_path(std::string_view path) {
  const std::string& separator = path_separator();
  for (int at = find_part(path, separator, 1, false); at > 0;
       at = find_part(path, separator, at + 1, false)) {
    const std::string prefix = leading_bytes(path, at - 1);
    if (is_passed_over(prefix, separator) || path_exists(prefix)) continue;
    if (!make_one_directory(prefix)) return false;
  }
  return true;
}

}  // namespace vd
