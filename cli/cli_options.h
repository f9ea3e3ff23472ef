// The command line's options. Every value is kept as the text the window's box would hold (GBK), so the
// run reads it exactly as it reads the box.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vd {

struct CliOptions {
  // Texts as the boxes hold them; unset ones take the settings file's value, then the window's default.
  std::optional<std::string> engine;  // "baidu", "360", "sogou" or "google"
  std::optional<std::string> first_page;
  std::optional<std::string> page_limit;
  std::optional<std::string> pause;
  std::optional<std::string> line_template;
  std::optional<std::string> output_directory;
  std::optional<std::string> extension;

  std::vector<std::string> keyword_args;     // GBK
  std::optional<std::string> keywords_file;  // a path as given (the file system's encoding), "-" for stdin
  std::optional<std::string> settings_file;  // the same
  std::optional<std::string> profiles_file;  // the same
  std::vector<std::string> connect_to;
  int parallel_redirects = 1;  // redirect queries of a page under way at a time; 1: one after another
  bool quiet = false;
  bool help = false;
  bool version = false;
  bool print_profiles = false;
};

struct CliParse {
  CliOptions options;
  std::string error;  // one line, UTF-8; empty when the line was good
};

// argv[0] is skipped. Values given in UTF-8 become GBK; a value that is not valid UTF-8 is taken as GBK.
CliParse parse_cli_options(const std::vector<std::string>& args);

// The index of an engine name in the radio-button order, or nullopt for an unknown name.
std::optional<int> engine_index(const std::string& name);

const char* cli_usage();

}  // namespace vd
