#include "text/encoding.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/unorm2.h>
#include <unicode/uset.h>
#include <unicode/utrans.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

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

// What the GBK converter writes for each character of the Basic Multilingual Plane, read from the
// converter once, so that the common characters of a page need no converter call. The converter maps
// one character at a time (checked when the table is made: it has no mapping of a character sequence), so
// a character's bytes do not depend on its neighbours.
struct GbkCharacter {
  unsigned char length = 0;       // 1 or 2; 0 where the table has nothing (surrogates, longer output)
  bool composed_starter = false;  // NFC quick check "yes" and combining class 0: stays as it is in NFC
  unsigned char bytes[2] = {0, 0};
};

struct UsetClose {
  void operator()(USet* set) const { uset_close(set); }
};

bool has_sequence_mappings(UConverter* converter) {
  std::unique_ptr<USet, UsetClose> set(uset_openEmpty());
  UErrorCode error = U_ZERO_ERROR;
  ucnv_getUnicodeSet(converter, set.get(), UCNV_ROUNDTRIP_AND_FALLBACK_SET, &error);
  if (U_FAILURE(error)) return true;
  const int32_t items = uset_getItemCount(set.get());
  for (int32_t i = 0; i < items; ++i) {
    UChar32 start = 0, end = 0;
    UChar text[8];
    error = U_ZERO_ERROR;
    // Ranges of single characters come first; a positive length is a sequence mapped as one.
    if (uset_getItem(set.get(), i, &start, &end, text, 8, &error) > 0) return true;
  }
  return false;
}

// Null when ICU fails or the converter does not behave as the fast conversion assumes; the caller then
// converts the whole text through ICU.
std::unique_ptr<const std::array<GbkCharacter, 0x10000>> make_gbk_table() {
  UConverter* const converter = gbk_converter();
  UErrorCode error = U_ZERO_ERROR;
  const UNormalizer2* nfc = unorm2_getNFCInstance(&error);
  if (converter == nullptr || U_FAILURE(error) || has_sequence_mappings(converter)) return nullptr;

  std::u16string characters;
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c < 0xD800 || c > 0xDFFF) characters.push_back(static_cast<char16_t>(c));
  }
  ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &error);
  ucnv_resetFromUnicode(converter);
  std::string out(characters.size() * static_cast<std::size_t>(ucnv_getMaxCharSize(converter)), '\0');
  std::vector<int32_t> offsets(out.size());
  const UChar* source = characters.data();
  char* target = out.data();
  ucnv_fromUnicode(converter, &target, out.data() + out.size(), &source,
                   characters.data() + characters.size(), offsets.data(), true, &error);
  if (U_FAILURE(error) || source != characters.data() + characters.size()) return nullptr;

  auto table = std::make_unique<std::array<GbkCharacter, 0x10000>>();
  std::vector<unsigned char> written(0x10000, 0);
  for (std::size_t i = 0; i < static_cast<std::size_t>(target - out.data()); ++i) {
    if (offsets[i] < 0 || static_cast<std::size_t>(offsets[i]) >= characters.size()) return nullptr;
    const char16_t c = characters[static_cast<std::size_t>(offsets[i])];
    if (written[c] < 2) (*table)[c].bytes[written[c]] = static_cast<unsigned char>(out[i]);
    ++written[c];
  }
  for (const char16_t c : characters) {
    GbkCharacter& entry = (*table)[c];
    if (written[c] == 0 || written[c] > 2) {
      entry = GbkCharacter{};
      continue;
    }
    entry.length = written[c];
    const UChar one = c;
    error = U_ZERO_ERROR;
    entry.composed_starter = unorm2_getCombiningClass(nfc, c) == 0 &&
                             unorm2_quickCheck(nfc, &one, 1, &error) == UNORM_YES && U_SUCCESS(error);
  }
  // ASCII is copied as it is; that is only right while the converter writes it so.
  for (char16_t c = 1; c < 0x80; ++c) {
    const GbkCharacter& entry = (*table)[c];
    if (entry.length != 1 || entry.bytes[0] != c) return nullptr;
  }
  return table;
}

// Shared by all threads; made once, read only afterwards.
const std::array<GbkCharacter, 0x10000>* gbk_table() {
  static const std::unique_ptr<const std::array<GbkCharacter, 0x10000>> table = make_gbk_table();
  return table.get();
}

// The whole-text conversion through ICU: UTF-8 to UTF-16 (bad input becoming U+FFFD), NFC when asked,
// GBK with "?" for what it lacks, ending before the first zero byte.
std::string utf8_to_gbk_through_icu(std::string_view utf8, bool compose) {
  std::u16string utf16 = to_utf16(utf8_converter(), utf8, &unicode_replacement);
  if (compose) utf16 = composed(std::move(utf16));
  return cut_at_zero(from_utf16(gbk_converter(), utf16, Unmappable::question_mark));
}

// Copies the ASCII bytes of text[at, size) up to the first byte that is zero or not ASCII, or to size, to
// out + used, advancing both. Eight bytes are copied at a time while they are all ASCII and not zero; a
// copy may write up to eight bytes past what it advances over, so out needs that much room beyond.
void copy_ascii(const unsigned char* text, std::size_t& at, std::size_t size, char* out, std::size_t& used) {
  constexpr std::uint64_t high_bits = 0x8080808080808080ULL;
  constexpr std::uint64_t low_bits = 0x0101010101010101ULL;
  if constexpr (std::endian::native == std::endian::little) {
    while (size - at >= 8) {
      std::uint64_t word;
      std::memcpy(&word, text + at, 8);
      std::memcpy(out + used, &word, 8);
      // A zero byte's bit 7 is set by the subtraction; the borrow it starts can also mark the bytes after
      // it, never one before, so the lowest mark is the first byte to stop at.
      const std::uint64_t stops = (word & high_bits) | ((word - low_bits) & ~word & high_bits);
      if (stops != 0) {
        const auto n = static_cast<std::size_t>(std::countr_zero(stops) / 8);
        at += n;
        used += n;
        return;
      }
      at += 8;
      used += 8;
    }
  }
  while (at < size && text[at] != 0 && text[at] < 0x80) out[used++] = static_cast<char>(text[at++]);
}

// Decodes one well-formed UTF-8 sequence of two or three bytes at text[at] (before end), giving the
// character and setting at past it; -1 for anything else (ill-formed, cut short, or four bytes long),
// which the caller leaves to ICU.
int32_t decode_bmp(const unsigned char* text, std::size_t& at, std::size_t end) {
  const unsigned char lead = text[at];
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (end - at < 3) return -1;
    const unsigned char t1 = text[at + 1], t2 = text[at + 2];
    const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;   // overlong below
    const unsigned char high = lead == 0xED ? 0x9F : 0xBF;  // surrogates above
    if (t1 < low || t1 > high || (t2 & 0xC0) != 0x80) return -1;
    at += 3;
    return ((lead & 0x0F) << 12) | ((t1 & 0x3F) << 6) | (t2 & 0x3F);
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    if (end - at < 2 || (text[at + 1] & 0xC0) != 0x80) return -1;
    at += 2;
    return ((lead & 0x1F) << 6) | (text[at - 1] & 0x3F);
  }
  return -1;
}

// UTF-8 to GBK as utf8_to_gbk_through_icu gives it, without ICU for most of a web page. The text is cut
// into ASCII stretches and the non-ASCII stretches between them. An ASCII byte is one character in UTF-8
// and GBK alike, never part of an ill-formed sequence that ICU replaces, and NFC never composes it with
// the character before it; so every ASCII byte starts a piece that converts on its own. A non-ASCII
// stretch is converted character by character from the table; when it holds anything the table does not
// settle (ill-formed input, a character outside the table, or, composing, a character that NFC may join
// with the one before it), the stretch together with the ASCII character before it (which a leading
// combining mark joins) goes through ICU. The result ends before the first zero byte, which only a zero
// byte in the input writes, so the text is read no further.
std::string utf8_to_gbk_fast(std::string_view utf8, bool compose) {
  if (gbk_converter() == nullptr || utf8_converter() == nullptr) return {};
  // The table is made at the first character beyond ASCII, so that ASCII texts never pay for it.
  const std::array<GbkCharacter, 0x10000>* table = nullptr;
  const auto* const text = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t size = utf8.size();

  // Room: the table's path never writes more bytes than it reads (one for one, at most two for two or
  // three), plus the slack that copy_ascii and the two-byte writes below need. Only ICU's pieces may
  // write more; after one, the room is made again for the rest.
  constexpr std::size_t slack = 8;
  std::string out(size + slack, '\0');
  std::size_t used = 0;
  std::size_t at = 0;
  while (at < size) {
    copy_ascii(text, at, size, out.data(), used);
    if (at == size || text[at] == 0) break;

    if (table == nullptr) {
      table = gbk_table();
      if (table == nullptr) return utf8_to_gbk_through_icu(utf8, compose);
    }
    const std::size_t stretch_start = at;
    const std::size_t used_before = used;
    bool settled = true;
    while (at < size && text[at] >= 0x80) {
      const int32_t c = decode_bmp(text, at, size);
      const GbkCharacter* const entry = c < 0 ? nullptr : &(*table)[static_cast<std::size_t>(c)];
      if (entry == nullptr || entry->length == 0 || (compose && !entry->composed_starter)) {
        settled = false;
        break;
      }
      out[used] = static_cast<char>(entry->bytes[0]);
      out[used + 1] = static_cast<char>(entry->bytes[1]);
      used += entry->length;
    }
    if (settled) continue;

    while (at < size && text[at] >= 0x80) ++at;
    used = used_before;
    std::size_t from = stretch_start;
    if (from > 0) {  // the ASCII character before, already written as itself
      --from;
      --used;
    }
    const std::string piece =
        utf8_to_gbk_through_icu(std::string_view(utf8.data() + from, at - from), compose);
    const std::size_t room = used + piece.size() + (size - at) + slack;
    if (out.size() < room) out.resize(room);
    std::memcpy(out.data() + used, piece.data(), piece.size());
    used += piece.size();
  }
  out.resize(used);
  return out;
}

}  // namespace

std::string utf8_to_gbk(std::string_view utf8) { return utf8_to_gbk_fast(utf8, true); }

std::string utf8_to_gbk_plain(std::string_view utf8) { return utf8_to_gbk_fast(utf8, false); }

std::string utf8_to_gbk_small(std::string_view utf8) {
  if (gbk_converter() == nullptr || utf8_converter() == nullptr) return {};
  return utf8_to_gbk_through_icu(utf8, false);
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
