#include "cli/keyword_input.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "text/encoding.h"

namespace vd {

std::vector<std::string> keyword_file_lines(const std::string& bytes) {
  const bool utf8 = is_valid_utf8(bytes);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    const std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(utf8 ? utf8_to_gbk(line) : line);
    start = next;
  }
  return lines;
}

KeywordText read_keywords(const std::vector<std::string>& keyword_args, const std::string& path) {
  KeywordText result;
  std::vector<std::string> lines = keyword_args;
  if (!path.empty()) {
    std::string bytes;
    if (path == "-") {
      bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
      std::ifstream in(path, std::ios::binary);
      if (!in) {
        result.error = "cannot read keyword file " + path + ": " + std::strerror(errno);
        return result;
      }
      std::ostringstream buffer;
      buffer << in.rdbuf();
      bytes = buffer.str();
    }
    for (std::string& line : keyword_file_lines(bytes)) lines.push_back(std::move(line));
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) result.text += "\r\n";
    result.text += lines[i];
  }
  return result;
}

}  // namespace vd
