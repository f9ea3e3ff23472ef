// The Location of a redirect, asked for without following it.
//
// Every query is a GET with the fixed four header lines on an easy handle of its own: no redirect followed,
// no cookies sent or kept. The calling thread (the front end's main thread) waits and handles its events.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vd {

// What a redirect link was answered with. location: the Location value exactly as the server wrote it.
// body: only when the answer had no Location, its body up to its first zero byte (at most
// redirect_body_limit bytes read), decoded as fetch_page decodes a page (a page that declares UTF-8
// becomes GBK). Both empty when no answer was had.
struct RedirectReply {
  std::string location;
  std::string body;
};

inline constexpr std::size_t redirect_body_limit = std::size_t{1} << 20;
// The most queries query_redirect_replies runs at a time.
inline constexpr int max_parallel_redirects = 64;

// The Location value, or empty text when none was obtained. Reads no body.
std::string query_redirect_target(std::string_view url);

// The Location and, without one, the body.
RedirectReply query_redirect_reply(std::string_view url);

// The replies to several links, in the order of urls, with up to `parallel` queries at a time (clamped
// to 1..max_parallel_redirects; 1 runs them one after another), each on a thread of its own with the
// time-outs of one query alone. Returns when all have ended.
std::vector<RedirectReply> query_redirect_replies(const std::vector<std::string>& urls, int parallel);

// The value of the first Location line of a raw header block, blanks around it removed; empty when none.
std::string location_of(std::string_view header_block);

}  // namespace vd
