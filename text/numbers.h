// Number and small-value conversions between GBK text and numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vd {

// A byte array: counted bytes that may hold zero bytes (bodies, encodings).
using Bytes = std::string;

// Leading integer after full-width mapping and white space; wraps modulo 2^32; 0 when nothing reads.
std::int32_t parse_integer(std::string_view text);
// Longest leading decimal number after full-width mapping and white space; 0 when nothing reads. Reads the
// same in every locale. A value beyond the range of a double gives an infinity, one too small gives 0.
double parse_real(std::string_view text);
// A real as an integer: truncated toward zero; NaN gives 0 and values beyond the 32-bit range give the
// nearest limit (a plain cast would be undefined there).
std::int32_t real_to_integer(double x);

std::string integer_text(std::int64_t n);
// printf "%.13g" in the C locale, whatever the process's locale, with an exponent of at least three digits
// (1e+013).
std::string real_text(double x);
// "真" or "假" in GBK.
const std::string& bool_text(bool v);
// Rounds half away from zero after a 1e-12 nudge; places may be negative. A result of zero is +0.
double round_half_away(double x, int places = 0);
// Upper-case hexadecimal of the 32-bit value, no prefix, no leading zeros.
std::string upper_hex(std::int32_t n);
// The one byte b; byte 0 gives the empty text.
std::string char_text(unsigned char b);
std::string space_text(int n);
Bytes zero_bytes(int n);

Bytes text_to_bytes(std::string_view text);
// The bytes before the first zero byte.
std::string bytes_to_text(std::string_view bytes);

// Byte-array counterparts of the cuts.
int bytes_length(std::string_view bytes);
Bytes bytes_leading(std::string_view bytes, int n);
// Unlike middle_bytes, the offset is clipped into [0, length] and a negative n counts as 0.
Bytes bytes_middle(std::string_view bytes, int position, int n);

}  // namespace vd
