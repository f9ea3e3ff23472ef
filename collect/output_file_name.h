// The name of a keyword's output file: directory + keyword + "_" + date-time text + "." + extension.
#pragma once

#include <string>
#include <string_view>

#include "text/clock.h"

namespace vd {

// The keyword as it goes into a file name: every path separator (and, on Windows, every character a file
// name cannot hold) becomes "_", so no keyword can name a file outside the output folder. Everything else
// is kept byte for byte. GBK in and out; two-byte characters are never split.
std::string file_name_keyword(std::string_view keyword);

// directory must already end with the path separator. All texts GBK.
std::string output_file_path(std::string_view directory, std::string_view keyword, const DateTime& when,
                             std::string_view extension);

}  // namespace vd
