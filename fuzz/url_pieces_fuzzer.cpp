// The URL pieces a request is made from, on any GBK text.
//
// Input: the URL.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "text/text_ops.h"
#include "web/url_pieces.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vd::fuzz::FuzzInput input(data, size);
  const std::string_view url = input.rest();

  const std::string full = vd::with_scheme_prefix(url);
  VD_FUZZ_CHECK(full.starts_with("http://") || full.starts_with("https://"));
  VD_FUZZ_CHECK(full.ends_with(url));

  VD_FUZZ_CHECK(vd::url_is_secure(url) == (vd::find_part(url, "https://", 1, true) > 0));

  const std::string host = vd::url_host(full);
  VD_FUZZ_CHECK(host == vd::ascii_lower(host));
  // No "/" begins a character of the host (a GBK pair may end in that byte).
  VD_FUZZ_CHECK(vd::find_part(host, "/") == -1);

  const std::string path = vd::url_path(full);
  VD_FUZZ_CHECK(path.starts_with("/"));

  const std::int32_t port = vd::url_port(full);
  (void)port;
  (void)vd::url_host(url);
  (void)vd::url_path(url);
  (void)vd::url_port(url);
  return 0;
}
