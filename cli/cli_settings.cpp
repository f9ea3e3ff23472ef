#include "cli/cli_settings.h"

#include <sys/stat.h>

#include "collect/control_defaults.h"
#include "text/encoding.h"
#include "text/gbk_literal.h"
#include "text/settings_file.h"

namespace vd {
namespace {

using namespace vd::literals;

// The window's keys over the defaults; the engine is the first button that is on, as a run picks it.
void read_settings_file(const std::string& native_path, CliSettings& s) {
  SettingsFile file;
  file.set_file(is_valid_utf8(native_path) ? utf8_to_gbk(native_path) : native_path);
  file.set_section(settings_section());
  const auto& keys = settings_keys();
  std::array<bool, 4> engines{};
  for (int i = 0; i < 4; ++i) engines[i] = file.read_option(keys[kKeyBaidu + i], s.engines[i]);
  s.engines = {false, false, false, false};
  for (int i = 0; i < 4; ++i) {
    if (engines[i]) {
      s.engines[i] = true;
      break;
    }
  }
  s.page_limit = file.read_text(keys[kKeyPageLimit], s.page_limit);
  s.output_directory = file.read_text(keys[kKeyOutputDirectory], s.output_directory);
  s.extension = file.read_text(keys[kKeyExtension], s.extension);
  s.line_template = file.read_text(keys[kKeyTemplate], s.line_template);
  s.first_page = file.read_text(keys[kKeyFirstPage], s.first_page);
}

}  // namespace

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

  if (options.settings_file) {
    struct stat info {};
    if (stat(options.settings_file->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      result.error = "cannot read settings file " + *options.settings_file;
      return result;
    }
    read_settings_file(*options.settings_file, s);
  }
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
