// The controls that a collection run reads and writes, as the front end holds them.
//
// The window implements this over its widgets, the command line over its options. Every getter is called
// at the moment the run needs the value, so an edit made during a run takes effect at the next reading.
// All texts are GBK. Called on the front end's main thread only.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vd {

class RunControls {
 public:
  virtual ~RunControls() = default;

  virtual std::string output_directory_text() = 0;  // 编辑框保存目录
  virtual std::string keyword_text() = 0;           // 编辑框关键词
  virtual std::string first_page_text() = 0;        // 编辑框起始页号
  virtual std::string extension_text() = 0;         // 编辑框扩展名
  virtual std::string pause_text() = 0;             // 编辑框等待毫秒
  virtual std::string page_limit_text() = 0;        // 编辑框搜索页数
  virtual std::string template_text() = 0;          // 编辑框保存模板
  // The checked states of 单选框百度, 单选框360, 单选框搜狗, 单选框谷歌, in this order.
  virtual std::array<bool, 4> engine_buttons() = 0;

  virtual std::string button_caption() = 0;  // 按钮立即采集
  virtual void set_button_caption(std::string_view caption) = 0;
  virtual void set_status(int pane, std::string_view text) = 0;  // 状态条, panes 0 and 1
};

}  // namespace vd
