// The output file of one keyword: opened (created or emptied) when the keyword starts, closed when it
// ends. Owns its file handle; movable, not copyable.
//
// Lines are GBK bytes written as they are, each followed by CR LF. A file that could not be opened, or a
// line that could not be written, is remembered so that the run can report the keyword.
#pragma once

#include <string>
#include <string_view>

#include "text/disk_file.h"

namespace vd {

class KeywordOutput {
 public:
  KeywordOutput() = default;
  // Opens path (GBK) in rewrite mode, others allowed to read and write.
  explicit KeywordOutput(std::string path);
  ~KeywordOutput();
  KeywordOutput(KeywordOutput&& other) noexcept;
  KeywordOutput& operator=(KeywordOutput&& other) noexcept;
  KeywordOutput(const KeywordOutput&) = delete;
  KeywordOutput& operator=(const KeywordOutput&) = delete;

  bool is_open() const { return file_ != 0; }
  const std::string& path() const { return path_; }
  // line followed by CR LF. False, and the loss remembered, when the bytes did not reach the file.
  bool write_line(std::string_view line);
  // True when the file did not open or a line was lost: the file does not hold what was collected.
  bool failed() const { return !opened_ || lines_lost_; }
  void close();

 private:
  std::string path_;
  FileHandle file_ = 0;
  bool lines_lost_ = false;
  bool opened_ = false;  // the open succeeded; kept after close() so the outcome can still be read
};

}  // namespace vd
