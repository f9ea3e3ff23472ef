// The box texts a command-line run uses: an option given on the line, else the settings file's value,
// else the window's default.
#pragma once

#include <string>

#include "cli/cli_front_end.h"
#include "cli/cli_options.h"

namespace vd {

struct SettledCliSettings {
  CliSettings settings;  // keywords are left for the caller
  std::string error;     // UTF-8 one-line reason; empty when good
};

SettledCliSettings settle_cli_settings(const CliOptions& options);

}  // namespace vd
