#include "collect/control_defaults.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "text/encoding.h"
#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;

// $HOME, or the password database's home folder when HOME is unset; UTF-8 from the environment.
std::string home_folder_utf8() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/tmp";
}

ControlDefaults make_defaults() {
  ControlDefaults d;
  d.keywords = "外星人"_gbk + "\r\n2012";
  d.engines = {true, false, false, false};
  d.first_page = "1";
  d.page_limit = "0";
  d.pause = "1.5";
  d.line_template = "<a href=\"#网址#\" target=\"_blank\">#标题#</a><br>"_gbk;
  d.output_directory = utf8_to_gbk(home_folder_utf8()) + "/关键词采集网址"_gbk;
  d.extension = "htm";
  return d;
}

}  // namespace

const ControlDefaults& control_defaults() {
  static const ControlDefaults defaults = make_defaults();
  return defaults;
}

}  // namespace vd
