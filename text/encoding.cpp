#include "text/encoding.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/unorm2.h>
#include <unicode/utrans.h>

#include <memory>

namespace vd {

namespace {

struct ConverterClose {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterOwner = std::unique_ptr<UConverter, ConverterClose>;

struct TransliteratorClose {
  void operator()(UTransliterator* t) const { utrans_close(t); }
};
using TransliteratorOwner = std::unique_ptr<UTransliterator, TransliteratorClose>;

// Opens a converter whose unmappable characters become "?" and which takes the code page's fallback
// (best-fit) mappings, as the platform's own code-page functions do. Null when ICU lacks the name.
ConverterOwner open_converter(const char* name) {
  UErrorCode error = U_ZERO_ERROR;
  ConverterOwner converter(ucnv_open(name, &error));
  if (U_FAILURE(error)) return nullptr;
  error = U_ZERO_ERROR;
  ucnv_setSubstChars(converter.get(), "?", 1, &error);
  ucnv_setFallback(converter.get(), true);
  return converter;
}

// ICU converters carry conversion state and must not be shared between threads: each thread opens
// its own, once, on first use.
UConverter* gbk_converter() {
  thread_local ConverterOwner converter = open_converter("windows-936-2000");
  return converter.get();
}
UConverter* big5_converter() {
  thread_local ConverterOwner converter = open_converter("windows-950-2000");
  return converter.get();
}
UConverter* utf8_converter() {
  thread_local ConverterOwner converter = open_converter("UTF-8");
  return converter.get();
}
UTransliterator* simplifier() {
  thread_local TransliteratorOwner transliterator = [] {
    UErrorCode error = U_ZERO_ERROR;
    TransliteratorOwner t(
        utrans_openU(u"Traditional-Simplified", -1, UTRANS_FORWARD, nullptr, 0, nullptr, &error));
    return U_FAILURE(error) ? nullptr : std::move(t);
  }();
  return transliterator.get();
}

// Writes the replacement character held in context for every invalid or unmappable input sequence,
// so that a conversion never stops on bad input.
void replace_bad_input(const void* context, UConverterToUnicodeArgs* args, const char*, int32_t,
                       UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;
  *error = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, static_cast<const UChar*>(context), 1, 0, error);
}

const UChar unicode_replacement = 0xFFFD;
const UChar question_mark = u'?';

// Bytes in the converter's encoding to UTF-16; bad input becomes *replacement. Empty when the
// converter could not be opened.
std::u16string to_utf16(UConverter* converter, std::string_view bytes, const UChar* replacement) {
  std::u16string out;
  if (converter == nullptr || bytes.empty()) return out;
  UErrorCode error = U_ZERO_ERROR;
  ucnv_setToUCallBack(converter, replace_bad_input, replacement, nullptr, nullptr, &error);
  ucnv_resetToUnicode(converter);
  // Every input byte yields at most one UTF-16 unit in the encodings used here; the loop still
  // copes with more.
  out.resize(bytes.size() + 1);
  const char* source = bytes.data();
  const char* const source_end = source + bytes.size();
  UChar* target = out.data();
  for (;;) {
    error = U_ZERO_ERROR;
    ucnv_toUnicode(converter, &target, out.data() + out.size(), &source, source_end, nullptr, true, &error);
    if (error != U_BUFFER_OVERFLOW_ERROR) break;
    const std::size_t written = target - out.data();
    out.resize(out.size() * 2);
    target = out.data() + written;
  }
  out.resize(target - out.data());
  return out;
}

// What becomes of a UTF-16 character that the target encoding lacks.
enum class Unmappable { question_mark, end_of_text };

// UTF-16 to the converter's encoding. With end_of_text the output ends before the first character
// that the encoding lacks, as the zero byte that the platform writes for it would end it.
std::string from_utf16(UConverter* converter, std::u16string_view text, Unmappable unmappable) {
  std::string out;
  if (converter == nullptr || text.empty()) return out;
  UErrorCode error = U_ZERO_ERROR;
  if (unmappable == Unmappable::end_of_text) {
    ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  } else {
    ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &error);
  }
  ucnv_resetFromUnicode(converter);
  out.resize(text.size() * ucnv_getMaxCharSize(converter) + 1);
  const UChar* source = text.data();
  const UChar* const source_end = source + text.size();
  char* target = out.data();
  for (;;) {
    error = U_ZERO_ERROR;
    ucnv_fromUnicode(converter, &target, out.data() + out.size(), &source, source_end, nullptr, true, &error);
    if (error != U_BUFFER_OVERFLOW_ERROR) break;
    const std::size_t written = target - out.data();
    out.resize(out.size() * 2);
    target = out.data() + written;
  }
  // With the stop callback an unmappable character ends the conversion with an error; what was
  // written before it is the result. Any other failure leaves that much as well.
  out.resize(target - out.data());
  return out;
}

std::string cut_at_zero(std::string text) {
  const std::size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

// NFC form; the text itself when it is already composed or ICU fails. Only the part after the longest
// prefix that passes the quick check is normalised: that prefix is NFC and ends at a boundary, so appending
// the normalised rest to it, as normalizeSecondAndAppend merges them, gives the NFC form of the whole.
std::u16string composed(std::u16string text) {
  UErrorCode error = U_ZERO_ERROR;
  const UNormalizer2* nfc = unorm2_getNFCInstance(&error);
  if (U_FAILURE(error)) return text;
  const int32_t length = static_cast<int32_t>(text.size());
  const int32_t done = unorm2_spanQuickCheckYes(nfc, text.data(), length, &error);
  if (U_FAILURE(error) || done == length) return text;
  const UChar* const rest = text.data() + done;
  const int32_t rest_length = length - done;
  // Composing rarely lengthens a text; the first attempt leaves room for some growth, the second has the
  // length that ICU asked for.
  int32_t capacity = length + 16;
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::u16string out(text, 0, static_cast<std::size_t>(done));
    out.resize(static_cast<std::size_t>(capacity));
    error = U_ZERO_ERROR;
    const int32_t written =
        unorm2_normalizeSecondAndAppend(nfc, out.data(), done, capacity, rest, rest_length, &error);
    if (U_SUCCESS(error) && written <= capacity) {
      out.resize(static_cast<std::size_t>(written));
      return out;
    }
    if (error != U_BUFFER_OVERFLOW_ERROR) return text;
    capacity = written;
  }
  return text;
}

// Traditional characters to simplified ones; the text itself when ICU fails.
std::u16string simplified(std::u16string text) {
  UTransliterator* transliterator = simplifier();
  if (transliterator == nullptr || text.empty()) return text;
  std::u16string buffer = text;
  for (int attempt = 0; attempt < 4; ++attempt) {
    buffer = text;
    buffer.resize(text.size() * (2 << attempt) + 16);
    int32_t length = static_cast<int32_t>(text.size());
    int32_t limit = length;
    UErrorCode error = U_ZERO_ERROR;
    utrans_transUChars(transliterator, buffer.data(), &length, static_cast<int32_t>(buffer.size()), 0, &limit,
                       &error);
    if (U_SUCCESS(error)) {
      buffer.resize(length);
      return buffer;
    }
    if (error != U_BUFFER_OVERFLOW_ERROR) break;
  }
  return text;
}

}  // namespace

std::string utf8_to_gbk(std::string_view utf8) {
  return cut_at_zero(from_utf16(gbk_converter(),
                                composed(to_utf16(utf8_converter(), utf8, &unicode_replacement)),
                                Unmappable::question_mark));
}

std::string utf8_to_gbk_plain(std::string_view utf8) {
  return cut_at_zero(from_utf16(gbk_converter(), to_utf16(utf8_converter(), utf8, &unicode_replacement),
                                Unmappable::question_mark));
}

std::string gbk_to_utf8(std::string_view gbk) {
  return cut_at_zero(from_utf16(utf8_converter(), to_utf16(gbk_converter(), gbk, &unicode_replacement),
                                Unmappable::question_mark));
}

std::string big5_to_gbk_simplified(std::string_view big5) {
  // Invalid Big5 input becomes "?" straight away: the replacement character has no GBK form and
  // would otherwise end the text like a character that GBK lacks.
  const std::string gbk = cut_at_zero(
      from_utf16(gbk_converter(), to_utf16(big5_converter(), big5, &question_mark), Unmappable::end_of_text));
  return cut_at_zero(from_utf16(gbk_converter(), simplified(gbk_to_utf16(gbk)), Unmappable::question_mark));
}

std::u16string gbk_to_utf16(std::string_view gbk) {
  return to_utf16(gbk_converter(), gbk, &unicode_replacement);
}

std::string utf16_to_gbk(std::u16string_view utf16) {
  return from_utf16(gbk_converter(), utf16, Unmappable::question_mark);
}

bool is_valid_utf8(std::string_view bytes) {
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    const unsigned char lead = bytes[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    int trail_count;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the first trail byte
    if (lead >= 0xC2 && lead <= 0xDF) {
      trail_count = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      trail_count = 2;
      if (lead == 0xE0) low = 0xA0;   // overlong
      if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      trail_count = 3;
      if (lead == 0xF0) low = 0x90;   // overlong
      if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
      return false;
    }
    if (n - i <= static_cast<std::size_t>(trail_count)) return false;
    for (int k = 1; k <= trail_count; ++k) {
      const unsigned char b = bytes[i + k];
      if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) return false;
    }
    i += trail_count + 1;
  }
  return true;
}

}  // namespace vd
