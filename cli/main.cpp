// verodero-cli: the collection run without a window.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_front_end.h"
#include "cli/cli_options.h"
#include "cli/cli_settings.h"
#include "cli/keyword_input.h"
#include "collect/collection_run.h"
#include "text/gbk_literal.h"
#include "text/regex_service.h"
#include "web/connect_to.h"

namespace {

constexpr int kExitBadOptions = 2;
constexpr int kExitLinesLost = 1;

int bad_options(const std::string& reason) {
  std::fprintf(stderr, "verodero-cli: %s\n%s", reason.c_str(), vd::cli_usage());
  return kExitBadOptions;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vd::literals;
  const std::vector<std::string> args(argv, argv + argc);
  const vd::CliParse parsed = vd::parse_cli_options(args);
  const vd::CliOptions& options = parsed.options;
  if (options.help) {
    std::fputs(vd::cli_usage(), stdout);
    return 0;
  }
  if (options.version) {
    std::puts("verodero-cli 1.0");
    return 0;
  }
  if (!parsed.error.empty()) return bad_options(parsed.error);

  for (const std::string& entry : options.connect_to) {
    if (!vd::add_connect_to(entry)) return bad_options("bad --connect-to '" + entry + "' (HOST:PORT:ADDR:PORT)");
  }

  vd::SettledCliSettings settled = vd::settle_cli_settings(options);
  if (!settled.error.empty()) return bad_options(settled.error);

  const vd::KeywordText keywords = vd::read_keywords(options.keyword_args, options.keywords_file.value_or(""));
  if (!keywords.error.empty()) return bad_options(keywords.error);
  settled.settings.keywords = keywords.text;

  vd::CliControls controls(std::move(settled.settings), options.quiet, isatty(STDERR_FILENO) == 1);
  controls.set_button_caption("开始采集"_gbk);

  vd::RegexService titles;
  titles.set_pattern(vd::markup_pattern());
  vd::CollectionRun run(controls, titles);

  vd::CliEventPump pump([&run] { run.on_button_clicked(); });
  vd::CliDesktop desktop([&controls] { controls.end_line(); });
  vd::install_event_pump(&pump);
  vd::install_desktop(&desktop);
  vd::CliEventPump::install_interrupt_handler();

  run.on_button_clicked();

  vd::install_desktop(nullptr);
  vd::install_event_pump(nullptr);
  return run.last_summary().unwritable_keywords.empty() ? 0 : kExitLinesLost;
}
