#include "cli/cli_settings.h"

#include "collect/control_defaults.h"

namespace vd {

SettledCliSettings settle_cli_settings(const CliOptions& options) {
  SettledCliSettings result;
  const ControlDefaults& d = control_defaults();
  CliSettings& s = result.settings;
  s.engines = d.engines;
  s.first_page = d.first_page;
  s.page_limit = d.page_limit;
  s.pause = d.pause;
  s.line_template = d.line_template;
  s.output_directory = d.output_directory;
  s.extension = d.extension;

  if (options.engine) {
    s.engines = {false, false, false, false};
    s.engines[*engine_index(*options.engine)] = true;
  }
  if (options.first_page) s.first_page = *options.first_page;
  if (options.page_limit) s.page_limit = *options.page_limit;
  if (options.pause) s.pause = *options.pause;
  if (options.line_template) s.line_template = *options.line_template;
  if (options.output_directory) s.output_directory = *options.output_directory;
  if (options.extension) s.extension = *options.extension;
  return result;
}

}  // namespace vd
