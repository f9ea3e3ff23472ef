// Conversions between GBK (the local text), UTF-8, UTF-16 and Big5, through ICU.
//
// Converters: "windows-936-2000" is GBK (0x80 is the euro sign), "windows-950-2000" is Big5. Invalid input
// sequences become U+FFFD, which GBK writes as "?"; characters that GBK lacks become "?". No conversion
// stops early, throws, or reads outside its argument. Thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace vd {

// UTF-8 bytes to GBK, composing to NFC first so that a base letter and a combining mark become one
// precomposed character where GBK has it. The result ends before its first zero byte.
std::string utf8_to_gbk(std::string_view utf8);
// The same without composing: a combining mark that GBK lacks becomes "?" on its own.
std::string utf8_to_gbk_plain(std::string_view utf8);
// The same result as utf8_to_gbk_plain by the converter alone, without the table that the fast path
// builds on its first use: for the few short texts of a program's start, such as its literals.
std::string utf8_to_gbk_small(std::string_view utf8);
// GBK text to UTF-8 bytes; ends before the first zero byte.
std::string gbk_to_utf8(std::string_view gbk);
// Big5 bytes to GBK with traditional characters mapped to simplified ones; a character without a GBK
// form ends the result, as the zero byte it becomes would.
std::string big5_to_gbk_simplified(std::string_view big5);

std::u16string gbk_to_utf16(std::string_view gbk);
std::string utf16_to_gbk(std::u16string_view utf16);

bool is_valid_utf8(std::string_view bytes);

}  // namespace vd
