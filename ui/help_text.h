// The fixed help text that the help picture and label show.
#pragma once

#include <string>

namespace vd {

// Eight lines joined by CR LF, the sixth empty, no line break after the last; GBK.
const std::string& help_text();

}  // namespace vd
