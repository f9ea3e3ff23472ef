// The GBK text helpers on generated result pages and a 100,000-line keyword text: find_part with and
// without case, the marker cut text_between, replace_parts, split_at.
//
// Each should take one pass (bytes per second flat across sizes, BigO fitting N = bytes) and allocate
// nothing beyond its result: the counter allocs is the number of heap allocations per call, counted by
// this program's operator new.
#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "bench/page_generator.h"
#include "collect/text_between.h"
#include "text/gbk_literal.h"
#include "text/text_ops.h"

namespace {
std::atomic<std::int64_t> allocations{0};
}  // namespace

// Counts every allocation; GCC takes the free() below for a mismatch with the replaced operator new.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace vd::literals;

constexpr std::array<std::int64_t, 3> kPageSizes = {100 * 1024, 300 * 1024, 2 * 1024 * 1024};

// A Baidu page of 100 entries in GBK: the text the helpers meet in the page step.
const std::string& page_of_size(std::int64_t size) {
  static std::array<std::string, kPageSizes.size()> pages;
  for (std::size_t i = 0; i < kPageSizes.size(); ++i) {
    if (kPageSizes[i] != size) continue;
    if (pages[i].empty()) {
      pages[i] = vd::bench::generate_page({.engine = vd::SearchEngine::Baidu,
                                           .entries = 100,
                                           .size = static_cast<std::size_t>(size),
                                           .encoding = vd::bench::PageEncoding::gbk});
    }
    return pages[i];
  }
  std::abort();
}

// Runs call once per iteration; reports bytes of text per second and allocations per call.
template <typename Call>
void measure(benchmark::State& state, std::size_t bytes, Call call) {
  const std::int64_t before = allocations.load(std::memory_order_relaxed);
  for (auto _ : state) call();
  const std::int64_t made = allocations.load(std::memory_order_relaxed) - before;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
  state.SetComplexityN(static_cast<std::int64_t>(bytes));
  state.counters["allocs"] = static_cast<double>(made) / static_cast<double>(state.iterations());
}

// A marker the page does not hold: the search runs over the whole page.
constexpr std::string_view kAbsentMarker = "<div id=\"absent_marker\">";

void find_part_exact(benchmark::State& state) {
  const std::string& page = page_of_size(state.range(0));
  measure(state, page.size(),
          [&] { benchmark::DoNotOptimize(vd::find_part(page, kAbsentMarker, 1, false)); });
}

void find_part_ignore_case(benchmark::State& state) {
  const std::string& page = page_of_size(state.range(0));
  measure(state, page.size(), [&] { benchmark::DoNotOptimize(vd::find_part(page, kAbsentMarker, 1, true)); });
}

// A text of two-byte characters only, searched for a character that occurs often but never followed by
// the second one: the search must still stay linear.
void find_part_gbk_run(benchmark::State& state) {
  std::string text;
  while (static_cast<std::int64_t>(text.size()) < state.range(0)) text += "外星人"_gbk;
  const std::string part = "星球"_gbk;
  measure(state, text.size(), [&] { benchmark::DoNotOptimize(vd::find_part(text, part, 1, false)); });
}

// Every result heading of the page cut out in turn, as the entry walk does.
void text_between_headings(benchmark::State& state) {
  const std::string& page = page_of_size(state.range(0));
  measure(state, page.size(), [&] {
    int position = 1;
    while (!vd::text_between(page, "<h3 ", "</h3>", position).empty()) {
    }
    benchmark::DoNotOptimize(position);
  });
}

void replace_parts_exact(benchmark::State& state) {
  const std::string& page = page_of_size(state.range(0));
  measure(state, page.size(),
          [&] { benchmark::DoNotOptimize(vd::replace_parts(page, "<em>", "<b>", 1, vd::no_limit, true)); });
}

void replace_parts_ignore_case(benchmark::State& state) {
  const std::string& page = page_of_size(state.range(0));
  measure(state, page.size(),
          [&] { benchmark::DoNotOptimize(vd::replace_parts(page, "<EM>", "<b>", 1, vd::no_limit, false)); });
}

void split_keyword_lines(benchmark::State& state) {
  const std::string keywords = vd::bench::generate_keyword_text(static_cast<int>(state.range(0)));
  measure(state, keywords.size(), [&] { benchmark::DoNotOptimize(vd::split_at(keywords, "\r\n")); });
  state.counters["lines"] = static_cast<double>(state.range(0));
}

void page_sizes(benchmark::internal::Benchmark* b) {
  for (const std::int64_t size : kPageSizes) b->Arg(size);
  b->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);
}

BENCHMARK(find_part_exact)->Name("FindPart/exact")->Apply(page_sizes);
BENCHMARK(find_part_ignore_case)->Name("FindPart/ignore_case")->Apply(page_sizes);
// Small sizes: a search that is not linear here would otherwise run for minutes.
BENCHMARK(find_part_gbk_run)
    ->Name("FindPart/gbk_run")
    ->Arg(10 * 1024)
    ->Arg(20 * 1024)
    ->Arg(40 * 1024)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
BENCHMARK(text_between_headings)->Name("TextBetween/headings")->Apply(page_sizes);
BENCHMARK(replace_parts_exact)->Name("ReplaceParts/exact")->Apply(page_sizes);
BENCHMARK(replace_parts_ignore_case)->Name("ReplaceParts/ignore_case")->Apply(page_sizes);
BENCHMARK(split_keyword_lines)
    ->Name("SplitAt/keyword_lines")
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
