#include "collect/output_file_name.h"

namespace vd {

namespace {

bool is_forbidden_in_file_name(unsigned char c) {
#ifdef _WIN32
  if (c < 0x20) return true;
  switch (c) {
    case '\\':
    case '/':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
      return true;
    default:
      return false;
  }
#else
  return c == '/';
#endif
}

}  // namespace

std::string file_name_keyword(std::string_view keyword) {
  std::string name;
  name.reserve(keyword.size());
  for (std::size_t i = 0; i < keyword.size(); ++i) {
    const auto c = static_cast<unsigned char>(keyword[i]);
    if (c >= 0x80) {
      // A two-byte character: its second byte may look like "\" and is not a separator.
      name += keyword.substr(i, 2);
      ++i;
    } else {
      name += is_forbidden_in_file_name(c) ? '_' : static_cast<char>(c);
    }
  }
  return name;
}

std::string output_file_path(std::string_view directory, std::string_view keyword, const DateTime& when,
                             std::string_view extension) {
  std::string path(directory);
  path += file_name_keyword(keyword);
  path += '_';
  path += datetime_text(when);
  path += '.';
  path += extension;
  return path;
}

}  // namespace vd
