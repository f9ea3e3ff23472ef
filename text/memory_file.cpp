#include "text/memory_file.h"

#include <algorithm>

namespace vd {

void MemoryFile::write(std::string_view bytes) {
  // The position never passes the end (only write, read and rewind move it), so this overwrites what lies
  // under the position and appends the rest.
  const std::size_t overlap = std::min(bytes.size(), data_.size() - position_);
  data_.replace(position_, overlap, bytes.data(), bytes.size());
  position_ += bytes.size();
}

std::string MemoryFile::read_line() {
  if (at_end()) return {};
  const std::size_t lf = data_.find('\n', position_);
  if (lf == std::string::npos) {
    std::string rest = data_.substr(position_);
    position_ = data_.size();
    return rest;
  }
  std::size_t end = lf;
  if (end > position_ && data_[end - 1] == '\r') --end;
  std::string line = data_.substr(position_, end - position_);
  position_ = lf + 1;
  return line;
}

std::string MemoryFile::read(std::size_t n) {
  if (at_end()) return {};
  const std::size_t count = std::min(n, data_.size() - position_);
  std::string bytes = data_.substr(position_, count);
  position_ += count;
  return bytes;
}

void MemoryFile::close() {
  std::string().swap(data_);
  position_ = 0;
}

}  // namespace vd
