// What the window says at start about an engine profiles file whose lines could not all be used.
#pragma once

#include <string>

#include "collect/profile_file.h"

namespace vd {

// GBK; empty when the file was missing or every line was used.
std::string profile_warning_message(const ProfileLoad& load);

}  // namespace vd
