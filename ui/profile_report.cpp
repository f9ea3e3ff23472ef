#include "ui/profile_report.h"

#include "text/gbk_literal.h"

namespace vd {

using namespace vd::literals;

std::string profile_warning_message(const ProfileLoad& load) {
  const std::string lines = profile_warnings_text(load);
  if (lines.empty()) return {};
  return "搜索引擎配置文件中有以下行未被采用，其余设置照常生效：\n"_gbk + lines;
}

}  // namespace vd
