// The output folder of a run: its text with the trailing separator, and the making of its levels.
#pragma once

#include <string>
#include <string_view>

namespace vd {

// The directory text (GBK) with the platform's separator appended when it does not end with one.
std::string with_trailing_separator(std::string_view directory);

// Creates, from the outermost inwards, every level of path that ends before a separator and does not
// exist yet; a last level not followed by a separator is not made. True when every such level exists or
// was made; false at the first level that cannot be made, leaving the deeper ones unmade.
// On Linux a path from the root ("/a/b/") makes its levels below the root and empty levels ("a//b/") are
// passed over; on Windows a 2-byte prefix (a drive, "C:") is passed over instead.
bool make_directory_path(std::string_view path);

}  // namespace vd
