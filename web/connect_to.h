// The process-wide connect-to table: requests for HOST:PORT dial ADDR:PORT instead. Every page request
// and redirect query honours it; URLs, Host and Referer lines keep the real host. Thread-safe.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vd {

// entry is "HOST:PORT:ADDR:PORT" (curl's CURLOPT_CONNECT_TO form). False for a malformed entry.
bool add_connect_to(std::string_view entry);
void clear_connect_to();
std::vector<std::string> connect_to_entries();

}  // namespace vd
