// The texts and states that the window's controls start with; the command line uses the same defaults.
// All texts are GBK.
#pragma once

#include <array>
#include <string>

namespace vd {

struct ControlDefaults {
  std::string keywords;          // "外星人" CR LF "2012"
  std::array<bool, 4> engines;   // 百度 on, the others off
  std::string first_page;        // "1"
  std::string page_limit;        // "0"
  std::string pause;             // "1.5"
  std::string line_template;     // <a href="#网址#" target="_blank">#标题#</a><br>
  std::string output_directory;  // the home folder + "/关键词采集网址"
  std::string extension;         // "htm"
};

const ControlDefaults& control_defaults();

}  // namespace vd
