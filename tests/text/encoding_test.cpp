#include "text/encoding.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/unorm2.h>

#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_dir.h"

namespace vd {
namespace {

struct Case {
  const char* name;
  std::string input;
  std::string expected;
};

// Expectations are written as explicit bytes: GBK on one side, UTF-8 or Big5 on the other.
TEST(Utf8ToGbk, ConvertsReplacesAndCuts) {
  const std::vector<Case> cases = {
      {"empty", "", ""},
      {"ascii", "abc", "abc"},
      {"chinese", "\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},
      {"euro sign is byte 0x80", "\xE2\x82\xAC", "\x80"},
      {"character GBK lacks", "a\xF0\x9F\x98\x80z", "a?z"},
      {"invalid byte", "a\xFFz", "a?z"},
      {"sequence cut short at the end", "a\xE4\xB8", "a?"},
      {"lead without trail mid-text", "\xE4z", "?z"},
      {"encoded surrogate", "\xED\xA0\x80", "???"},
      {"zero byte ends the result", std::string("ab\0cd", 5), "ab"},
      {"zero byte inside a long ASCII stretch", std::string("abcdefghijk\0lmnopqrstu", 22), "abcdefghijk"},
      {"zero byte after non-ASCII", std::string("\xE4\xB8\xAD\0\xE4\xB8\xAD", 7), "\xD6\xD0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8_to_gbk(c.input), c.expected) << c.name;
    EXPECT_EQ(utf8_to_gbk_plain(c.input), c.expected) << c.name;
  }
}

TEST(Utf8ToGbk, ComposesCombiningMarksOnlyWhenAsked) {
  const std::string e_acute_decomposed = "e\xCC\x81";      // e + U+0301
  EXPECT_EQ(utf8_to_gbk(e_acute_decomposed), "\xA8\xA6");  // the precomposed GBK letter
  EXPECT_EQ(utf8_to_gbk_plain(e_acute_decomposed), "e?");
  // A mark with no precomposed form in GBK stays a separate "?".
  EXPECT_EQ(utf8_to_gbk("q\xCC\x81"), "q?");
}

// Only the text after its longest already composed start is composed, so marks must still find their base
// letters across that point, and composed stretches after it must come out unchanged.
TEST(Utf8ToGbk, ComposesMarksAfterALongComposedStart) {
  const std::string ascii(100, 'a');
  std::string chinese_utf8, chinese_gbk;
  for (int i = 0; i < 3000; ++i) {
    chinese_utf8 += "\xE4\xB8\xAD";
    chinese_gbk += "\xD6\xD0";
  }
  const std::vector<Case> cases = {
      {"already composed", ascii + "\xC3\xA9", ascii + "\xA8\xA6"},
      {"mark after a long start", ascii + "e\xCC\x81", ascii + "\xA8\xA6"},
      {"two marks composed in turn", ascii + "u\xCC\x88\xCC\x81", ascii + "\xA8\xB6"},
      {"mark on a precomposed letter", ascii + "\xC3\xBC\xCC\x8C", ascii + "\xA8\xB7"},
      {"mark that has nothing to join", ascii + "u\xCC\x81\xCC\x88", ascii + "\xA8\xB2?"},
      {"marks at both ends of a long middle", "e\xCC\x81" + chinese_utf8 + "n\xCC\x81",
       "\xA8\xA6" + chinese_gbk + "\xA8\xBD"},
      {"zero byte after a mark", ascii + "e\xCC\x81" + std::string(1, '\0') + "tail", ascii + "\xA8\xA6"},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8_to_gbk(c.input), c.expected) << c.name;
}

// The conversion as ICU gives it for the whole text at once, written here independently of the library:
// UTF-8 to UTF-16 with U+FFFD for bad input, full NFC when composing, GBK with "?" and fallback mappings,
// ending before the first zero byte. The library converts most of a page without ICU; this is what it
// must match byte for byte.
class WholeTextReference {
 public:
  WholeTextReference() {
    UErrorCode error = U_ZERO_ERROR;
    utf8_.reset(ucnv_open("UTF-8", &error));
    gbk_.reset(ucnv_open("windows-936-2000", &error));
    nfc_ = unorm2_getNFCInstance(&error);
    ucnv_setSubstChars(gbk_.get(), "?", 1, &error);
    ucnv_setFallback(gbk_.get(), true);
    ucnv_setToUCallBack(utf8_.get(), replace, nullptr, nullptr, nullptr, &error);
    ucnv_setFromUCallBack(gbk_.get(), UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &error);
    ok_ = U_SUCCESS(error);
  }
  bool ok() const { return ok_; }

  std::string convert(const std::string& utf8, bool compose) {
    UErrorCode error = U_ZERO_ERROR;
    std::u16string utf16(utf8.size() + 1, u'\0');
    const int32_t length = ucnv_toUChars(utf8_.get(), utf16.data(), static_cast<int32_t>(utf16.size()),
                                         utf8.data(), static_cast<int32_t>(utf8.size()), &error);
    utf16.resize(static_cast<std::size_t>(length));
    if (compose) {
      std::u16string normal(utf16.size() * 3 + 16, u'\0');
      const int32_t n = unorm2_normalize(nfc_, utf16.data(), static_cast<int32_t>(utf16.size()),
                                         normal.data(), static_cast<int32_t>(normal.size()), &error);
      normal.resize(static_cast<std::size_t>(n));
      utf16 = normal;
    }
    std::string gbk(utf16.size() * 2 + 1, '\0');
    const int32_t written = ucnv_fromUChars(gbk_.get(), gbk.data(), static_cast<int32_t>(gbk.size()),
                                            utf16.data(), static_cast<int32_t>(utf16.size()), &error);
    if (U_FAILURE(error)) return "<reference failed>";
    gbk.resize(static_cast<std::size_t>(written));
    return gbk.substr(0, gbk.find('\0'));
  }

 private:
  static void replace(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                      UConverterCallbackReason reason, UErrorCode* error) {
    if (reason > UCNV_IRREGULAR) return;
    *error = U_ZERO_ERROR;
    const UChar replacement = 0xFFFD;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, error);
  }
  struct Close {
    void operator()(UConverter* c) const { ucnv_close(c); }
  };
  std::unique_ptr<UConverter, Close> utf8_, gbk_;
  const UNormalizer2* nfc_ = nullptr;
  bool ok_ = false;
};

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
    out += ' ';
  }
  return out;
}

// Random texts built from pieces where a stretch-by-stretch conversion could go wrong: marks right after
// ASCII and after non-ASCII letters (and in a row), Hangul jamo that compose, characters that NFC changes on
// their own, characters GBK lacks, ill-formed and cut-short sequences next to ASCII, zero bytes.
TEST(Utf8ToGbk, MatchesTheWholeTextConversionOnRandomTexts) {
  WholeTextReference reference;
  ASSERT_TRUE(reference.ok());
  const std::vector<std::string> pieces = {
      "a",
      "e",
      "u",
      "n",
      "A",
      "<",
      ">",
      "=",
      " ",
      "\r\n",
      "<a href=\"x\">",
      "</div>",  // ASCII
      "\xE4\xB8\xAD",
      "\xE6\x96\x87",
      "\xE5\x9C\x8B",
      "\xE2\x82\xAC",
      "\xE3\x80\x80",  // 中 文 國 € ideographic space
      "\xC3\xA9",
      "\xC3\xBC",
      "\xC3\x85",
      "\xCE\xB1",  // é ü Å α
      "\xCC\x81",
      "\xCC\x88",
      "\xCC\x8C",
      "\xCC\x80",
      "\xCC\xB8",
      "\xCC\xA3",  // combining marks
      "\xE1\x84\x80",
      "\xE1\x85\xA1",
      "\xE1\x86\xA8",
      "\xEA\xB0\x80",  // Hangul L V T, LV
      "\xCD\x84",
      "\xE2\x84\xA6",
      "\xEF\xA4\x80",
      "\xE0\xA5\x98",  // NFC changes these alone
      "\xE3\x82\xAB",
      "\xE3\x82\x99",  // kana + voiced mark
      "\xF0\x9F\x98\x80",
      "\xF0\xA0\x80\x80",
      "\xE0\xB8\x81",
      "\xEF\xBF\xBD",  // GBK lacks these
      "\xC2\x80",
      "\xDF\xBF",
      "\xEF\xBF\xBF",
      "\xEE\x80\x80",  // edges, private use
      "\x80",
      "\xBF",
      "\xC0",
      "\xC1\xBF",
      "\xF5",
      "\xFF",
      "\xFE",  // never valid
      "\xE4\xB8",
      "\xE4",
      "\xF0\x9F\x98",
      "\xF0\x9F",
      "\xC3",  // cut short
      "\xE0\x80\xAF",
      "\xED\xA0\x80",
      "\xF4\x90\x80\x80",
      "\xF0\x80\x80\x80",  // overlong, surrogate, too big
      std::string(1, '\0'),
  };
  std::mt19937 random(20240607);
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(0, 24);
  std::uniform_int_distribution<int> byte(0, 255);
  int failures = 0;
  for (int i = 0; i < 40000 && failures < 5; ++i) {
    std::string text;
    if (i % 4 == 3) {
      // Raw bytes, mostly ASCII, for sequences no list of pieces thinks of.
      for (int n = length(random) * 2; n > 0; --n) {
        const int b = byte(random);
        text += static_cast<char>(b < 128 ? 'a' + b % 26 : b);
      }
    } else {
      const std::string& zero = pieces.back();
      for (int n = length(random); n > 0; --n) {
        const std::string& p = pieces[piece(random)];
        if (&p == &zero && n % 3 != 0) continue;  // zero bytes, but not in most texts
        text += p;
      }
    }
    for (const bool compose : {true, false}) {
      const std::string expected = reference.convert(text, compose);
      const std::string actual = compose ? utf8_to_gbk(text) : utf8_to_gbk_plain(text);
      if (actual != expected) {
        ++failures;
        ADD_FAILURE() << (compose ? "utf8_to_gbk" : "utf8_to_gbk_plain") << " of " << hex(text)
                      << "\n gives    " << hex(actual) << "\n expected " << hex(expected);
      }
    }
  }
}

// Every character of the Basic Multilingual Plane alone, after ASCII and after a Chinese character, and
// followed by a combining mark: the table the fast conversion reads must say what the converter says.
TEST(Utf8ToGbk, MatchesTheWholeTextConversionForEveryCharacter) {
  WholeTextReference reference;
  ASSERT_TRUE(reference.ok());
  std::string all;
  int failures = 0;
  for (char32_t c = 0x80; c < 0x10000 && failures < 5; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string utf8;
    if (c < 0x800) {
      utf8 = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      utf8 = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    }
    all += utf8;
    for (const std::string& text : {utf8, "a" + utf8 + "z", "\xE4\xB8\xAD" + utf8 + "\xCC\x81"}) {
      for (const bool compose : {true, false}) {
        const std::string actual = compose ? utf8_to_gbk(text) : utf8_to_gbk_plain(text);
        if (actual != reference.convert(text, compose)) {
          ++failures;
          ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(c) << " in " << hex(text);
        }
      }
    }
  }
  EXPECT_EQ(utf8_to_gbk(all), reference.convert(all, true));
  EXPECT_EQ(utf8_to_gbk_plain(all), reference.convert(all, false));
}

// Pages the engines really served, each converted whole.
TEST(Utf8ToGbk, MatchesTheWholeTextConversionOnRealPages) {
  WholeTextReference reference;
  ASSERT_TRUE(reference.ok());
  for (const char* file : {"baidu-2015-number.html", "360-2019-suzhoufeipin.html", "sogou-2019-seo.html",
                           "google-2012-wangbo.html"}) {
    const std::string page =
        test::read_file(std::string(VERODERO_SOURCE_DIR) + "/tests/collect/real-pages/" + file);
    ASSERT_FALSE(page.empty()) << file;
    EXPECT_TRUE(utf8_to_gbk(page) == reference.convert(page, true)) << file;
    EXPECT_TRUE(utf8_to_gbk_plain(page) == reference.convert(page, false)) << file;
  }
}

TEST(GbkToUtf8, ConvertsReplacesAndCuts) {
  const std::vector<Case> cases = {
      {"empty", "", ""},
      {"ascii", "abc", "abc"},
      {"one chinese character", "\xD6\xD0", "\xE4\xB8\xAD"},
      {"euro sign", "\x80", "\xE2\x82\xAC"},
      {"full-width space", "\xA1\xA1", "\xE3\x80\x80"},
      {"lone lead byte at the end", "a\x81", "a\xEF\xBF\xBD"},
      {"zero byte ends the result", std::string("\xD6\xD0\0\xD6\xD0", 5), "\xE4\xB8\xAD"},
  };
  for (const Case& c : cases) EXPECT_EQ(gbk_to_utf8(c.input), c.expected) << c.name;
}

TEST(GbkUtf16, RoundTripsAndReplacesWhatGbkLacks) {
  const std::string gbk = "a\xD6\xD0\x80\xA1\xA1z";
  const std::u16string utf16 = gbk_to_utf16(gbk);
  EXPECT_EQ(utf16, u"a\u4E2D\u20AC\u3000z");
  EXPECT_EQ(utf16_to_gbk(utf16), gbk);
  EXPECT_EQ(utf16_to_gbk(u"\U0001F600"), "?");
  EXPECT_EQ(utf16_to_gbk(std::u16string(1, u'\xD800') + u"x"), "?x");  // unpaired surrogate
  // Both directions keep zero characters: the pattern service hands counted text through them.
  EXPECT_EQ(gbk_to_utf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(utf16_to_gbk(std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
}

TEST(Big5ToGbkSimplified, MapsTraditionalAndEndsAtCharactersGbkLacks) {
  const std::vector<Case> cases = {
      {"empty", "", ""},
      {"ascii", "abc", "abc"},
      {"character the same in both forms", "\xA4\xA4", "\xD6\xD0"},                // 中
      {"traditional becomes simplified", "\xB0\xEA\xA4\xE5", "\xB9\xFA\xCE\xC4"},  // 國文 -> 国文
      {"character GBK lacks ends the text", "\xA4\xA4\xA1\x45z", "\xD6\xD0"},      // U+2027
      {"invalid trail byte becomes ?", "a\xA4\x20z", "a? z"},
      {"lead byte cut short at the end", "a\xA4", "a?"},
      {"zero byte ends the result", std::string("a\0b", 3), "a"},
  };
  for (const Case& c : cases) EXPECT_EQ(big5_to_gbk_simplified(c.input), c.expected) << c.name;
}

TEST(IsValidUtf8, AcceptsWellFormedOnly) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"", true},
      {"plain ascii", true},
      {"\xE4\xB8\xAD", true},
      {"\xF0\x9F\x98\x80", true},
      {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
      {"\xD6\xD0", false},          // GBK, not UTF-8
      {"\xC0\xAF", false},          // overlong
      {"\xE0\x80\xAF", false},      // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xE4\xB8", false},          // cut short
      {"\x80", false},              // stray trail byte
      {"\xFF", false},
  };
  for (const auto& [bytes, valid] : cases)
    EXPECT_EQ(is_valid_utf8(bytes), valid) << testing::PrintToString(bytes);
}

// Page-sized text passes through whole, in both directions (the output buffers grow as needed).
TEST(Encoding, LargeTextsConvertWhole) {
  std::string gbk;
  for (int i = 0; i < 100000; ++i) gbk += (i % 3 == 0) ? "a" : "\xD6\xD0";
  const std::string utf8 = gbk_to_utf8(gbk);
  EXPECT_EQ(utf8.size(), 33334u + 66666u * 3);
  EXPECT_EQ(utf8_to_gbk(utf8), gbk);
}

// Each thread has its own converters; concurrent conversions must not disturb one another.
TEST(Encoding, ConcurrentConversionsAgree) {
  const std::string gbk = "\xCD\xE2\xD0\xC7\xC8\xCB abc \x80";
  const std::string utf8 = gbk_to_utf8(gbk);
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        if (gbk_to_utf8(gbk) != utf8 || utf8_to_gbk(utf8) != gbk) ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int f : failures) EXPECT_EQ(f, 0);
}

}  // namespace
}  // namespace vd
