// Result pages for the benchmarks, made by us: each engine's markup as the engine profiles cut it, at a
// chosen size and number of entries, in GBK or in UTF-8 that declares itself.
//
// Deterministic: the same options (seed included) give the same bytes on every machine and run. Titles hold
// markup and character references as real ones do; filler (styles, scripts, abstracts, footer) never holds
// a marker of the profile, so the walk finds exactly `entries` entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "collect/engine_profile.h"

namespace vd::bench {

enum class PageEncoding { gbk, utf8 };

struct PageOptions {
  SearchEngine engine = SearchEngine::Baidu;
  int entries = 10;
  std::size_t size = 300 * 1024;  // bytes of the page as served; met to within one entry's markup
  PageEncoding encoding = PageEncoding::gbk;
  std::uint64_t seed = 1;
};

// The page as an engine serves it: GBK bytes, or UTF-8 with "charset=utf-8" in its head.
std::string generate_page(const PageOptions& options);

// "baidu", "360", "sogou", "google".
const char* engine_label(SearchEngine engine);
const char* encoding_label(PageEncoding encoding);

// A keyword list as the window holds it: `lines` GBK keywords of mixed Chinese and ASCII, each line ended
// by CR LF.
std::string generate_keyword_text(int lines, std::uint64_t seed = 1);

}  // namespace vd::bench
