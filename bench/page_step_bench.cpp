// The page step without the network: a result page held in memory goes through the block cut, the entry
// walk, the link rules (the redirect query answered from memory), title cleaning and the rendering of each
// output line into memory, as read_result_page and write_accepted_page do it.
//
// Each run also times a scan of the same page by memchr for every "<" (the floor: touching the page's
// tags once) and reports page step time / floor time as the counter x_floor. Time should grow linearly
// with page size: each family's BigO line fits N = page bytes.
//
// Labels: PageStep/<engine>/<encoding>/<entries>/<bytes>. "gbk" and "utf8" pages are decoded first as the
// web layer hands them over (decode_page_text); "gbk_text" pages go straight to the cut.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "bench/page_generator.h"
#include "collect/keyword_output.h"
#include "collect/output_records.h"
#include "collect/page_step.h"
#include "collect/run_controls.h"
#include "collect/web_access.h"
#include "text/gbk_literal.h"
#include "text/regex_service.h"
#include "web/page_decoding.h"

namespace {

using namespace vd::literals;
using vd::bench::PageEncoding;
using vd::bench::PageOptions;

// CPU time of this thread, so that the ratio to the floor does not depend on how busy the machine is.
double thread_seconds() {
  timespec now{};
  if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0) return 0;
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

constexpr std::array<std::size_t, 3> kPageSizes = {100 * 1024, 300 * 1024, 2 * 1024 * 1024};

// Serves the one page from memory; a redirect query answers with the link itself, costing a copy.
class MemoryWeb final : public vd::WebAccess {
 public:
  MemoryWeb(std::string_view page, bool decode) : page_(page), decode_(decode) {}
  std::string fetch_page(std::string_view, std::string*) override {
    return decode_ ? vd::decode_page_text(page_) : std::string(page_);
  }
  std::string query_redirect_target(std::string_view url) override { return std::string(url); }

 private:
  std::string_view page_;
  bool decode_;
};

// The controls the page step reads; status texts are made by the step and dropped here.
class BenchControls final : public vd::RunControls {
 public:
  explicit BenchControls(vd::SearchEngine engine) { engines_[static_cast<int>(engine)] = true; }
  std::string output_directory_text() override { return {}; }
  std::string keyword_text() override { return {}; }
  std::string first_page_text() override { return "1"; }
  std::string extension_text() override { return "htm"; }
  std::string pause_text() override { return "0"; }
  std::string page_limit_text() override { return "0"; }
  std::string template_text() override { return "#网址#|#标题#"_gbk; }
  std::array<bool, 4> engine_buttons() override { return engines_; }
  std::string button_caption() override { return {}; }
  void set_button_caption(std::string_view) override {}
  void set_status(int, std::string_view text) override { benchmark::DoNotOptimize(text.data()); }

 private:
  std::array<bool, 4> engines_{};
};

std::size_t count_tags(std::string_view page) {
  std::size_t count = 0;
  const char* at = page.data();
  const char* const end = page.data() + page.size();
  while (at < end) {
    const void* hit = std::memchr(at, '<', static_cast<std::size_t>(end - at));
    if (hit == nullptr) break;
    ++count;
    at = static_cast<const char*>(hit) + 1;
  }
  return count;
}

// CPU seconds per memchr scan of the page, as the best of a few timed batches.
double floor_seconds(std::string_view page) {
  double best = 1e9;
  for (int batch = 0; batch < 5; ++batch) {
    constexpr int kScans = 20;
    const double start = thread_seconds();
    for (int i = 0; i < kScans; ++i) benchmark::DoNotOptimize(count_tags(page));
    best = std::min(best, (thread_seconds() - start) / kScans);
  }
  return best;
}

struct StepCase {
  vd::SearchEngine engine;
  PageEncoding encoding;
  bool decode;
  int entries;
};

void page_step(benchmark::State& state, StepCase c) {
  const PageOptions options{.engine = c.engine,
                            .entries = c.entries,
                            .size = static_cast<std::size_t>(state.range(0)),
                            .encoding = c.encoding};
  const std::string page = vd::bench::generate_page(options);

  MemoryWeb web(page, c.decode);
  BenchControls controls(c.engine);
  vd::KeywordOutput unopened;  // the step's file; only the lines below are written, into memory
  vd::RegexService titles;
  titles.set_pattern(vd::markup_pattern());
  std::int32_t run_total = 0;
  vd::PageStep step{controls, web, titles, unopened, run_total};
  const vd::EngineProfile& profile = vd::engine_profile(c.engine);

  // The page must give every entry, or the figure would time a walk that stops early.
  const vd::PageEntries check = vd::read_result_page(step, profile, "外星人"_gbk, 1);
  if (static_cast<int>(check.entries.size()) != c.entries) {
    state.SkipWithError("the generated page does not give its entries");
    return;
  }

  std::string lines;
  const double start = thread_seconds();
  for (auto _ : state) {
    lines.clear();
    const vd::PageEntries page_entries = vd::read_result_page(step, profile, "外星人"_gbk, 1);
    // As write_accepted_page does it, with the template read anew for each line.
    for (const vd::ResultEntry& entry : page_entries.entries) {
      lines += vd::render_line(controls.template_text(), entry);
      lines += "\r\n";
    }
    benchmark::DoNotOptimize(lines.data());
  }
  const double step_seconds = (thread_seconds() - start) / static_cast<double>(state.iterations());

  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(page.size()));
  state.SetComplexityN(static_cast<std::int64_t>(page.size()));
  state.counters["x_floor"] = step_seconds / floor_seconds(page);
  state.counters["entries"] = static_cast<double>(c.entries);
}

void memchr_floor(benchmark::State& state, PageEncoding encoding) {
  const std::string page = vd::bench::generate_page({.engine = vd::SearchEngine::Baidu,
                                                     .entries = 10,
                                                     .size = static_cast<std::size_t>(state.range(0)),
                                                     .encoding = encoding});
  for (auto _ : state) benchmark::DoNotOptimize(count_tags(page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(page.size()));
  state.SetComplexityN(static_cast<std::int64_t>(page.size()));
}

void register_all() {
  struct Variant {
    PageEncoding encoding;
    bool decode;
    const char* label;
  };
  constexpr std::array<Variant, 3> kVariants = {{{PageEncoding::gbk, true, "gbk"},
                                                 {PageEncoding::utf8, true, "utf8"},
                                                 {PageEncoding::gbk, false, "gbk_text"}}};
  for (int e = 0; e < vd::kEngineCount; ++e) {
    const auto engine = static_cast<vd::SearchEngine>(e);
    for (const Variant& variant : kVariants) {
      for (const int entries : {10, 100}) {
        const std::string name = std::string("PageStep/") + vd::bench::engine_label(engine) + "/" +
                                 variant.label + "/" + std::to_string(entries);
        auto* b = benchmark::RegisterBenchmark(name.c_str(), page_step,
                                               StepCase{engine, variant.encoding, variant.decode, entries});
        for (const std::size_t size : kPageSizes) b->Arg(static_cast<std::int64_t>(size));
        b->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);
      }
    }
  }
  for (const PageEncoding encoding : {PageEncoding::gbk, PageEncoding::utf8}) {
    const std::string name = std::string("MemchrFloor/") + vd::bench::encoding_label(encoding);
    auto* b = benchmark::RegisterBenchmark(name.c_str(), memchr_floor, encoding);
    for (const std::size_t size : kPageSizes) b->Arg(static_cast<std::int64_t>(size));
    b->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);
  }
}

}  // namespace

int main(int argc, char** argv) {
  register_all();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
