// The target of a page that redirects by markup or script instead of a Location header, as Baidu's
// redirect links sometimes answer.
//
// Texts are GBK (the targets are ASCII in practice). Pure function, any thread.
#pragma once

#include <string>
#include <string_view>

namespace vd {

// The address in the body's first <meta http-equiv="refresh" content="N; url=..."> (attribute order,
// quoting and letter case free; "&amp;" in it read as "&"), else in its first location.replace("...")
// or location.replace('...') ("\/" read as "/"); empty when neither holds one.
std::string refresh_target(std::string_view body);

}  // namespace vd
