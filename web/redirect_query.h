// The Location of a redirect, asked for without following it.
#pragma once

#include <string>
#include <string_view>

namespace vd {

// GET with the fixed four header lines, no redirect followed, no cookies kept; the Location value exactly
// as the server wrote it, or empty text when none was obtained. Handles events while it waits.
std::string query_redirect_target(std::string_view url);

// The value of the first Location line of a raw header block, blanks around it removed; empty when none.
std::string location_of(std::string_view header_block);

}  // namespace vd
