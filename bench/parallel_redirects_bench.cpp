// A Baidu result page of 10 redirect links read over the network from the fixture engine on 127.0.0.1,
// which holds back every answer (the page and each redirect) by 50 ms: the page step with its redirect
// queries one after another (parallel 1) and up to 10 at a time (parallel 10).
//
// Figures are wall-clock time per page and x_answer, that time over the time of one answer (a single
// redirect query to the same engine, the best of a few). One after another, a page costs 11 answers;
// with 10 at a time it should cost about 2 (the page, then the queries together), at most 2.5.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <string>

#include "collect/engine_profile.h"
#include "collect/keyword_output.h"
#include "collect/page_step.h"
#include "collect/run_controls.h"
#include "collect/web_access.h"
#include "tests/support/fixture_engine.h"
#include "text/gbk_literal.h"
#include "text/regex_service.h"
#include "web/connect_to.h"
#include "web/redirect_query.h"

namespace {

using namespace vd::literals;

constexpr int kLinks = 10;
constexpr std::chrono::milliseconds kDelay{50};

class BenchControls final : public vd::RunControls {
 public:
  std::string output_directory_text() override { return {}; }
  std::string keyword_text() override { return {}; }
  std::string first_page_text() override { return "1"; }
  std::string extension_text() override { return "htm"; }
  std::string pause_text() override { return "0"; }
  std::string page_limit_text() override { return "0"; }
  std::string template_text() override { return "#网址#|#标题#"_gbk; }
  std::array<bool, 4> engine_buttons() override { return {true, false, false, false}; }
  std::string button_caption() override { return {}; }
  void set_button_caption(std::string_view) override {}
  void set_status(int, std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
};

// The engine for the whole program, with Baidu's host routed to it.
vd::test::FixtureEngine& engine() {
  static vd::test::FixtureEngine* instance = [] {
    auto* made =
        new vd::test::FixtureEngine(vd::test::FixtureOptions{.pages = 1, .entries = kLinks, .delay = kDelay});
    vd::add_connect_to(made->connect_to("www.baidu.com"));
    return made;
  }();
  return *instance;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds of one answer: a redirect query of a link of the page, the best of five.
double one_answer_seconds() {
  static const double seconds = [] {
    engine();
    const std::string link = "http://www.baidu.com/link?url=6b.1.1";
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
      const auto start = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(vd::query_redirect_target(link));
      best = std::min(best, seconds_since(start));
    }
    return best;
  }();
  return seconds;
}

void one_answer(benchmark::State& state) {
  engine();
  const std::string link = "http://www.baidu.com/link?url=6b.1.1";
  for (auto _ : state) {
    const std::string target = vd::query_redirect_target(link);
    if (target.empty()) state.SkipWithError("the redirect query got no target");
  }
}

void baidu_page(benchmark::State& state) {
  engine();
  const double answer = one_answer_seconds();
  BenchControls controls;
  vd::KeywordOutput unopened;
  vd::RegexService titles;
  titles.set_pattern(vd::markup_pattern());
  std::int32_t run_total = 0;
  vd::PageStep step{controls,  vd::network_web_access(),        titles, unopened,
                    run_total, static_cast<int>(state.range(0))};
  const vd::EngineProfile& profile = vd::engine_profile(vd::SearchEngine::Baidu);

  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const vd::PageEntries page = vd::read_result_page(step, profile, "k", 1);
    total += seconds_since(start);
    // A page that lost a link would time less than the whole page.
    if (page.entries.size() != kLinks || page.entries.back().link.empty()) {
      state.SkipWithError("the page did not give all its resolved links");
      return;
    }
  }
  state.counters["one_answer_ms"] = answer * 1e3;
  state.counters["x_answer"] = total / static_cast<double>(state.iterations()) / answer;
  state.SetItemsProcessed(state.iterations());  // pages per second
}

BENCHMARK(one_answer)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(baidu_page)
    ->ArgName("parallel")
    ->Arg(1)
    ->Arg(10)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(8);

}  // namespace

BENCHMARK_MAIN();
