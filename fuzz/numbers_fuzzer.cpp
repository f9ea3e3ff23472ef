// Reading numbers from text (parse_integer, parse_real) and writing them back, on any input bytes.
//
// Input: a places byte, then the text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "text/numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vd::fuzz::FuzzInput input(data, size);
  const int places = static_cast<int>(input.byte() % 32) - 16;
  const std::string_view text = input.rest();

  const std::int32_t integer = vd::parse_integer(text);
  // Every integer reads back from its own text.
  VD_FUZZ_CHECK(vd::parse_integer(vd::integer_text(integer)) == integer);

  const double real = vd::parse_real(text);
  VD_FUZZ_CHECK(!std::isnan(real));
  const std::int32_t truncated = vd::real_to_integer(real);
  if (std::isfinite(real)) {
    // Thirteen significant digits read back within their rounding.
    const double again = vd::parse_real(vd::real_text(real));
    VD_FUZZ_CHECK(std::fabs(again - real) <= std::fabs(real) * 1e-12);
    if (std::fabs(real) < 2147483647.0)
      VD_FUZZ_CHECK(truncated == static_cast<std::int32_t>(std::trunc(real)));
    (void)vd::round_half_away(real, places);
  }
  (void)vd::upper_hex(integer);
  (void)vd::bytes_to_text(text);
  return 0;
}
