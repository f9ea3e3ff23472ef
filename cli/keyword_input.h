// Keywords for the command line: its arguments, then the lines of a keyword file, joined by CR LF as the
// window's keyword box holds them.
#pragma once

#include <string>
#include <vector>

namespace vd {

struct KeywordText {
  std::string text;   // GBK, lines joined by CR LF
  std::string error;  // UTF-8 one-line reason when the file could not be read
};

// Splits file bytes into lines (LF, with one CR before it dropped); UTF-8 content when valid, else GBK.
std::vector<std::string> keyword_file_lines(const std::string& bytes);

// path "-" reads standard input; an empty path reads nothing.
KeywordText read_keywords(const std::vector<std::string>& keyword_args, const std::string& path);

}  // namespace vd
