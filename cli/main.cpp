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
#include "collect/profile_file.h"
#include "text/encoding.h"
#include "text/gbk_literal.h"
#include "text/regex_service.h"
#include "web/connect_to.h"

namespace {

constexpr int kExitBadOptions = 2;
constexpr int kExitLinesLost = 1;
constexpr int kExitPagesTroubled = 3;

int bad_options(const std::string& reason) {
  std::fprintf(stderr, "verodero-cli: %s\n%s", reason.c_str(), vd::cli_usage());
  return kExitBadOptions;
}

// The profiles file given on the line, else engines.ini beside the settings file when there is one. Its
// warnings go to standard error. False when a file given on the line cannot be read.
bool load_profiles(const vd::CliOptions& options) {
  std::string path;
  if (options.profiles_file) {
    const std::string& given = *options.profiles_file;
    path = vd::is_valid_utf8(given) ? vd::utf8_to_gbk(given) : given;
  } else {
    path = vd::default_profiles_path();
  }
  const vd::ProfileLoad load = vd::load_active_profiles(path);
  if (!load.read) return !options.profiles_file;
  const std::string warnings = vd::gbk_to_utf8(vd::profile_warnings_text(load));
  std::size_t start = 0;
  for (std::size_t end; (end = warnings.find('\n', start)) != std::string::npos; start = end + 1) {
    std::fprintf(stderr, "verodero-cli: %s\n", warnings.substr(start, end - start).c_str());
  }
  return true;
}

// Lost lines win over troubled pages: the files then do not even hold what was collected.
int exit_status(const vd::RunSummary& summary) {
  if (!summary.unwritable_keywords.empty()) return kExitLinesLost;
  if (summary.hit_trouble()) return kExitPagesTroubled;
  return 0;
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
  if (options.print_profiles) {
    std::fputs(vd::gbk_to_utf8(vd::profiles_file_text(vd::engine_profiles())).c_str(), stdout);
    return 0;
  }

  for (const std::string& entry : options.connect_to) {
    if (!vd::add_connect_to(entry))
      return bad_options("bad --connect-to '" + entry + "' (HOST:PORT:ADDR:PORT)");
  }

  if (!load_profiles(options)) return bad_options("cannot read profiles file " + *options.profiles_file);

  vd::SettledCliSettings settled = vd::settle_cli_settings(options);
  if (!settled.error.empty()) return bad_options(settled.error);

  const vd::KeywordText keywords =
      vd::read_keywords(options.keyword_args, options.keywords_file.value_or(""));
  if (!keywords.error.empty()) return bad_options(keywords.error);
  settled.settings.keywords = keywords.text;

  vd::CliControls controls(std::move(settled.settings), options.quiet, isatty(STDERR_FILENO) == 1);
  controls.set_button_caption("开始采集"_gbk);

  vd::RegexService titles;
  titles.set_pattern(vd::markup_pattern());
  vd::CollectionRun run(controls, titles, vd::network_web_access(), options.parallel_redirects);

  vd::CliEventPump pump([&run] { run.on_button_clicked(); });
  vd::CliDesktop desktop([&controls] { controls.end_line(); });
  vd::install_event_pump(&pump);
  vd::install_desktop(&desktop);
  vd::CliEventPump::install_interrupt_handler();

  run.on_button_clicked();

  vd::install_desktop(nullptr);
  vd::install_event_pump(nullptr);
  return exit_status(run.last_summary());
}
