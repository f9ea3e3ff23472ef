#include "collect/keyword_output.h"

#include <utility>

namespace vd {

KeywordOutput::KeywordOutput(std::string path) : path_(std::move(path)) {
  file_ = open_disk_file(path_, 4, 1);
  opened_ = file_ != 0;
}

KeywordOutput::~KeywordOutput() { close(); }

KeywordOutput::KeywordOutput(KeywordOutput&& other) noexcept
    : path_(std::move(other.path_)),
      file_(std::exchange(other.file_, 0)),
      lines_lost_(other.lines_lost_),
      opened_(other.opened_) {}

KeywordOutput& KeywordOutput::operator=(KeywordOutput&& other) noexcept {
  if (this != &other) {
    close();
    path_ = std::move(other.path_);
    file_ = std::exchange(other.file_, 0);
    lines_lost_ = other.lines_lost_;
    opened_ = other.opened_;
  }
  return *this;
}

bool KeywordOutput::write_line(std::string_view line) {
  if (file_ != 0 && write_file_text(file_, {line, "\r\n"})) return true;
  lines_lost_ = true;
  return false;
}

void KeywordOutput::close() {
  if (file_ != 0) close_disk_file(std::exchange(file_, 0));
}

}  // namespace vd
