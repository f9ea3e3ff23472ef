#include "cli/cli_options.h"

#include <charconv>
#include <string_view>

#include "text/encoding.h"
#include "web/redirect_query.h"

namespace vd {
namespace {

std::string to_gbk(const std::string& arg) { return is_valid_utf8(arg) ? utf8_to_gbk(arg) : arg; }

enum class Target {
  kEngine,
  kFirstPage,
  kPages,
  kPause,
  kTemplate,
  kDir,
  kExt,
  kKeywords,
  kSettings,
  kProfiles,
  kConnectTo,
  kParallelRedirects
};

struct ValueOption {
  const char* short_name;  // nullptr when there is none
  const char* long_name;
  Target target;
};

constexpr ValueOption kValueOptions[] = {
    {"-e", "--engine", Target::kEngine},
    {"-f", "--first-page", Target::kFirstPage},
    {"-p", "--pages", Target::kPages},
    {"-w", "--pause", Target::kPause},
    {"-t", "--template", Target::kTemplate},
    {"-d", "--dir", Target::kDir},
    {"-x", "--ext", Target::kExt},
    {nullptr, "--keywords", Target::kKeywords},
    {nullptr, "--settings", Target::kSettings},
    {nullptr, "--connect-to", Target::kConnectTo},
    {nullptr, "--profiles", Target::kProfiles},
    {nullptr, "--parallel-redirects", Target::kParallelRedirects},
};

const ValueOption* find_value_option(std::string_view name) {
  for (const ValueOption& o : kValueOptions) {
    if ((o.short_name != nullptr && name == o.short_name) || name == o.long_name) return &o;
  }
  return nullptr;
}

// A whole number from 1 to max_parallel_redirects, digits only; 0 when the text is not one.
int parallel_count(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || text[0] < '0' || text[0] > '9' || error != std::errc() || stop != end) return 0;
  return value >= 1 && value <= max_parallel_redirects ? value : 0;
}

// An empty reason: the value was stored.
std::string store(CliOptions& o, Target target, const std::string& value) {
  switch (target) {
    case Target::kEngine:
      o.engine = value;
      break;
    case Target::kFirstPage:
      o.first_page = to_gbk(value);
      break;
    case Target::kPages:
      o.page_limit = to_gbk(value);
      break;
    case Target::kPause:
      o.pause = to_gbk(value);
      break;
    case Target::kTemplate:
      o.line_template = to_gbk(value);
      break;
    case Target::kDir:
      o.output_directory = to_gbk(value);
      break;
    case Target::kExt:
      o.extension = to_gbk(value);
      break;
    case Target::kKeywords:
      o.keywords_file = value;
      break;
    case Target::kSettings:
      o.settings_file = value;
      break;
    case Target::kProfiles:
      o.profiles_file = value;
      break;
    case Target::kConnectTo:
      o.connect_to.push_back(value);
      break;
    case Target::kParallelRedirects:
      o.parallel_redirects = parallel_count(value);
      if (o.parallel_redirects == 0)
        return "bad --parallel-redirects '" + value + "' (a whole number from 1 to " +
               std::to_string(max_parallel_redirects) + ")";
      break;
  }
  return {};
}

}  // namespace

std::optional<int> engine_index(const std::string& name) {
  static constexpr const char* kNames[] = {"baidu", "360", "sogou", "google"};
  for (int i = 0; i < 4; ++i) {
    if (name == kNames[i]) return i;
  }
  return std::nullopt;
}

CliParse parse_cli_options(const std::vector<std::string>& args) {
  CliParse result;
  CliOptions& o = result.options;
  bool options_ended = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      o.keyword_args.push_back(to_gbk(arg));
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    if (arg == "-q" || arg == "--quiet") {
      o.quiet = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      o.help = true;
      continue;
    }
    if (arg == "--version") {
      o.version = true;
      continue;
    }
    if (arg == "--print-profiles") {
      o.print_profiles = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (arg.rfind("--", 0) == 0) {
      if (std::size_t eq = arg.find('='); eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
      }
    }
    const ValueOption* option = find_value_option(name);
    if (option == nullptr) {
      result.error = "unknown option " + name;
      return result;
    }
    if (!value) {
      if (i + 1 >= args.size()) {
        result.error = "option " + name + " needs a value";
        return result;
      }
      value = args[++i];
    }
    result.error = store(o, option->target, *value);
    if (!result.error.empty()) return result;
  }
  if (o.engine && !engine_index(*o.engine)) {
    result.error = "unknown engine '" + *o.engine + "' (baidu, 360, sogou or google)";
  } else if (!o.help && !o.version && !o.print_profiles && o.keyword_args.empty() && !o.keywords_file) {
    result.error = "no keywords given";
  }
  return result;
}

const char* cli_usage() {
  return "usage: verodero-cli [options] [keyword ...]\n"
         "Collects the results of each keyword from a search engine into a file per keyword.\n"
         "\n"
         "  -e, --engine NAME       baidu, 360, sogou or google (default baidu)\n"
         "  -f, --first-page N      first result page (default 1)\n"
         "  -p, --pages N           number of the last page; 0 reads until the results end (default 0)\n"
         "  -w, --pause SECONDS     pause after each page, whole seconds (default 1.5, read as 1)\n"
         "  -t, --template TEXT     line template with #网址# and #标题#\n"
         "  -d, --dir FOLDER        output folder (default ~/关键词采集网址)\n"
         "  -x, --ext EXT           file extension (default htm)\n"
         "      --keywords FILE     also read one keyword per line from FILE (- for standard input)\n"
         "      --settings FILE     take the defaults from a settings file written by the window\n"
         "      --profiles FILE     engine profiles to use instead of engines.ini beside the settings file\n"
         "      --print-profiles    write the built-in engine profiles in the profiles file's form\n"
         "      --connect-to H:P:A:Q  send requests for host H port P to address A port Q (repeatable)\n"
         "      --parallel-redirects N  resolve a page's redirect links with up to N queries at a time\n"
         "                          (1 to 64; default 1, one after another)\n"
         "  -q, --quiet             no progress on standard error\n"
         "  -h, --help              this text\n"
         "      --version           the version\n"
         "\n"
         "Exit status: 0 done or stopped, 1 some keyword's lines could not be written, 2 bad options,\n"
         "3 an engine asked for verification, a page could not be had or a request timed out\n"
         "(1 wins when both 1 and 3 happen).\n"
         "Ctrl-C stops after the page in progress; a second Ctrl-C ends at once.\n";
}

}  // namespace vd
