#include "ui/help_text.h"

#include "text/gbk_literal.h"

namespace vd {

using namespace vd::literals;

const std::string& help_text() {
  static const std::string text =
      "【输入关键词】一行一个关键词\r\n"
      "【采集页数】设置为0则采集全部搜索页\r\n"
      "【间隔秒】设置太快容易被搜索引擎屏蔽，因此 1.5 秒左右为佳。\r\n"
      "【保存模板】可引用的项目有：#网址#、#标题#\r\n"
      "【保存目录】将在该目录下保存采集结果，保存的文件名为：关键词+采集时间\r\n"
      "\r\n"
      "【重要提示】\r\n"
      "右击保存目录的选择按钮“..”可定位该目录"_gbk;
  return text;
}

}  // namespace vd
