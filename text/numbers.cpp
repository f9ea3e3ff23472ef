#include "text/numbers.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

namespace vd {

namespace {

using Size = std::size_t;

// Reads a text the way the number parsers see it: the full-width forms of ASCII (A3 A1..A3 FE), the
// full-width space, ～ and ☆/★ mapped to their one-byte stand-ins, one mapped byte at a time. Any other
// two-byte character shows as its first byte, which is 0x80 or above and so ends every number.
class MappedReader {
 public:
  explicit MappedReader(std::string_view text) : text_(text) {}

  // The next mapped byte, or -1 at the end.
  int peek() const {
    if (pos_ >= text_.size()) return -1;
    return read(pos_).byte;
  }
  void advance() {
    if (pos_ < text_.size()) pos_ += read(pos_).width;
  }

 private:
  struct Mapped {
    int byte;
    Size width;
  };

  Mapped read(Size i) const {
    const unsigned char c = static_cast<unsigned char>(text_[i]);
    if (c < 0x80) return {c, 1};
    if (i + 1 >= text_.size()) return {c, 1};
    const unsigned char d = static_cast<unsigned char>(text_[i + 1]);
    if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) return {d - 0x80, 2};
    if (c == 0xA1) {
      if (d == 0xA1) return {' ', 2};
      if (d == 0xAB) return {'~', 2};
      if (d == 0xEE || d == 0xEF) return {'*', 2};
    }
    return {c, 2};
  }

  std::string_view text_;
  Size pos_ = 0;
};

bool is_white(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool is_digit(int c) { return c >= '0' && c <= '9'; }

void skip_white(MappedReader& reader) {
  while (is_white(reader.peek())) reader.advance();
}

// The decimal number at the front of a mapped text, in the notation std::from_chars reads (a "+" sign is left
// out), with what is needed to tell an overflow from an underflow: the value is about 0.d x 10^(magnitude +
// exponent), so only the sign of that sum matters once the value is out of range.
struct NumberLexeme {
  std::string chars;
  bool negative = false;
  bool has_digits = false;
  bool all_zero = true;
  std::int64_t magnitude = 0;  // significant integer digits, or minus the zeros that open the fraction
  std::int64_t exponent = 0;   // held within +-10^17, far beyond any double
};

void copy_digits(MappedReader& reader, NumberLexeme& lex, bool fraction) {
  for (int c = reader.peek(); is_digit(c); reader.advance(), c = reader.peek()) {
    lex.chars.push_back(static_cast<char>(c));
    lex.has_digits = true;
    if (c != '0') lex.all_zero = false;
    if (!fraction && !lex.all_zero) ++lex.magnitude;
    if (fraction && lex.all_zero) --lex.magnitude;
  }
}

// An exponent belongs to the number only when digits follow the "e" (and its sign); otherwise nothing of it
// is taken and the reader stays before the "e".
void copy_exponent(MappedReader& reader, NumberLexeme& lex) {
  if (reader.peek() != 'e' && reader.peek() != 'E') return;
  MappedReader ahead = reader;
  ahead.advance();
  std::string chars = "e";
  bool negative = false;
  if (ahead.peek() == '+' || ahead.peek() == '-') {
    negative = ahead.peek() == '-';
    chars.push_back(static_cast<char>(ahead.peek()));
    ahead.advance();
  }
  if (!is_digit(ahead.peek())) return;
  std::int64_t e = 0;
  for (int c = ahead.peek(); is_digit(c); ahead.advance(), c = ahead.peek()) {
    chars.push_back(static_cast<char>(c));
    e = std::min<std::int64_t>(e * 10 + (c - '0'), 100'000'000'000'000'000);
  }
  lex.exponent = negative ? -e : e;
  lex.chars += chars;
  reader = ahead;
}

NumberLexeme read_number(MappedReader& reader) {
  NumberLexeme lex;
  if (reader.peek() == '+' || reader.peek() == '-') {
    lex.negative = reader.peek() == '-';
    if (lex.negative) lex.chars.push_back('-');
    reader.advance();
  }
  copy_digits(reader, lex, false);
  if (reader.peek() == '.') {
    lex.chars.push_back('.');
    reader.advance();
    copy_digits(reader, lex, true);
  }
  if (lex.has_digits) copy_exponent(reader, lex);
  return lex;
}

constexpr std::string_view true_gbk = "\xD5\xE6";   // 真
constexpr std::string_view false_gbk = "\xBC\xD9";  // 假

}  // namespace

std::int32_t parse_integer(std::string_view text) {
  MappedReader reader(text);
  skip_white(reader);
  bool negative = false;
  if (reader.peek() == '+' || reader.peek() == '-') {
    negative = reader.peek() == '-';
    reader.advance();
  }
  // Unsigned arithmetic wraps modulo 2^32 by definition; the final conversion to signed is modular too.
  std::uint32_t value = 0;
  while (is_digit(reader.peek())) {
    value = value * 10u + static_cast<std::uint32_t>(reader.peek() - '0');
    reader.advance();
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

double parse_real(std::string_view text) {
  MappedReader reader(text);
  skip_white(reader);
  const NumberLexeme lex = read_number(reader);
  if (!lex.has_digits) return 0.0;
  double value = 0.0;
  const char* first = lex.chars.data();
  const char* last = first + lex.chars.size();
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    // from_chars leaves the value alone when the result does not fit; answer as strtod does: the largest
    // magnitude (infinity) for an overflow, zero for an underflow.
    const bool overflow = !lex.all_zero && lex.magnitude + lex.exponent > 0;
    value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    if (lex.negative) value = -value;
  } else if (error != std::errc()) {
    return 0.0;
  }
  return value;
}

std::int32_t real_to_integer(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return INT32_MAX;
  if (x <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(x);
}

std::string integer_text(std::int64_t n) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
  return std::string(buffer, result.ptr);
}

std::string real_text(double x) {
  // to_chars with a precision writes exactly what printf "%.13g" writes in the C locale, whatever locale the
  // process runs in (a window toolkit may have set one with a decimal comma).
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 13);
  std::string out(buffer, result.ptr);
  // The exponent has at least three digits: e+13 becomes e+013.
  const Size e = out.find('e');
  if (e != std::string::npos && e + 2 <= out.size()) {
    const Size digits = out.size() - (e + 2);
    if (digits < 3) out.insert(e + 2, 3 - digits, '0');
  }
  return out;
}

const std::string& bool_text(bool v) {
  static const std::string true_text(true_gbk);
  static const std::string false_text(false_gbk);
  return v ? true_text : false_text;
}

double round_half_away(double x, int places) {
  if (x == 0.0 || std::isnan(x)) return x == 0.0 ? 0.0 : x;
  const double magnitude = std::fabs(x);
  const double f = places == 0 ? 1.0 : std::pow(10.0, places > 0 ? places : -static_cast<double>(places));
  const double y = places > 0 ? magnitude * f : (places == 0 ? magnitude : magnitude / f);
  // More places than a double holds: nothing to round away.
  if (std::isinf(y) && !std::isinf(magnitude)) return x;
  double whole = 0.0;
  const double fraction = std::modf(y + 0.000000000001, &whole);
  if (fraction >= 0.5) whole += 1.0;
  // Rounded to nothing: a plain zero, so that no "-0" reaches a text.
  if (whole == 0.0) return 0.0;
  const double result = places > 0 ? whole / f : (places == 0 ? whole : whole * f);
  return std::signbit(x) ? -result : result;
}

std::string upper_hex(std::int32_t n) {
  char buffer[8];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint32_t>(n), 16);
  std::string out(buffer, result.ptr);
  for (char& c : out) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string char_text(unsigned char b) {
  if (b == 0) return {};
  return std::string(1, static_cast<char>(b));
}

std::string space_text(int n) { return n < 1 ? std::string() : std::string(static_cast<Size>(n), ' '); }

Bytes zero_bytes(int n) { return n <= 0 ? Bytes() : Bytes(static_cast<Size>(n), '\0'); }

Bytes text_to_bytes(std::string_view text) { return Bytes(text); }

std::string bytes_to_text(std::string_view bytes) {
  // An empty view may carry a null pointer, which memchr must not see.
  const std::size_t end = bytes.find('\0');
  return std::string(bytes.substr(0, end));
}

int bytes_length(std::string_view bytes) {
  return bytes.size() > static_cast<Size>(INT_MAX) ? INT_MAX : static_cast<int>(bytes.size());
}

Bytes bytes_leading(std::string_view bytes, int n) {
  if (n <= 0) return {};
  return Bytes(bytes.substr(0, static_cast<Size>(n)));
}

Bytes bytes_middle(std::string_view bytes, int position, int n) {
  const std::int64_t p = static_cast<std::int64_t>(position) - 1;
  const Size offset = p < 0 ? 0 : std::min(static_cast<Size>(p), bytes.size());
  if (n <= 0) return {};
  return Bytes(bytes.substr(offset, static_cast<Size>(n)));
}

}  // namespace vd
