// A run through the real web layer: every request goes to the fixture engine on 127.0.0.1 through the
// connect-to table, the addresses keeping the engines' own hosts.
#include <gtest/gtest.h>

#include "collect/collection_run.h"
#include "tests/collect/collect_fakes.h"
#include "tests/support/fixture_engine.h"
#include "text/regex_service.h"
#include "web/connect_to.h"

namespace vd {
namespace {

using namespace vd::literals;

TEST(NetworkRun, EveryEngineThroughTheWebLayer) {
  test::FixtureEngine engine(test::FixtureOptions{.pages = 2, .entries = 2});
  for (const std::string& entry : engine.connect_to_all()) ASSERT_TRUE(add_connect_to(entry));
  test::RecordingDesktop desktop;
  RegexService titles;
  titles.set_pattern(markup_pattern());

  for (int kind = 0; kind < 4; ++kind) {
    SCOPED_TRACE(kind);
    test::TempDir dir;
    test::FakeControls controls;
    controls.output_directory = dir.path();
    controls.keywords = "外星人"_gbk;
    controls.engines = {kind == 0, kind == 1, kind == 2, kind == 3};
    controls.line_template = "#网址# #标题#"_gbk;
    CollectionRun run(controls, titles);  // the network, through the web layer
    run.on_button_clicked();
    const auto names = test::file_names(dir.path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(test::file_in(dir.path(), names[0]),
              engine.expected_file(kind, "外星人"_gbk, 1, 0, "#网址# #标题#"_gbk));
    EXPECT_EQ(run.last_summary().total, 4);
  }
  clear_connect_to();
}

}  // namespace
}  // namespace vd
