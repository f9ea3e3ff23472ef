// The text conversions (GBK, UTF-8, UTF-16, Big5) and the body decodings of fetched pages, on any bytes.
//
// Input: a mode byte, then the bytes to convert.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "text/encoding.h"
#include "web/page_decoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vd::fuzz::FuzzInput input(data, size);
  const int mode = input.byte() % 4;
  const std::string_view bytes = input.rest();

  const std::string utf8 = vd::gbk_to_utf8(bytes);
  VD_FUZZ_CHECK(vd::is_valid_utf8(utf8));
  VD_FUZZ_CHECK(utf8.find('\0') == std::string::npos);

  const std::string gbk = vd::utf8_to_gbk(bytes);
  VD_FUZZ_CHECK(gbk.find('\0') == std::string::npos);
  // GBK that a conversion made is whole characters: it survives the way through UTF-8 unchanged.
  const std::string plain = vd::utf8_to_gbk_plain(bytes);
  VD_FUZZ_CHECK(vd::utf8_to_gbk_plain(vd::gbk_to_utf8(plain)) == plain);

  (void)vd::big5_to_gbk_simplified(bytes);
  (void)vd::utf16_to_gbk(vd::gbk_to_utf16(bytes));

  // The page decodings take any body; mode 3 is an unknown mode that leaves the text as it is.
  const std::string page = vd::decode_page_text(bytes, mode);
  if (mode != 0 && mode != 2) VD_FUZZ_CHECK(page == bytes);
  const vd::Bytes body = vd::convert_body(bytes, mode);
  if (mode != 1 && mode != 2) VD_FUZZ_CHECK(body == bytes);
  return 0;
}
