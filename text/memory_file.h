// A growable in-memory byte store with a read/write position, used like a file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vd {

class MemoryFile {
 public:
  // Puts the bytes at the position, growing the store as needed, and moves the position past them.
  void write(std::string_view bytes);
  void rewind() { position_ = 0; }
  bool at_end() const { return position_ >= data_.size(); }
  // Bytes up to the next LF; moves past the LF and drops one CR before it. At the end, the rest.
  std::string read_line();
  // Up to n bytes from the position.
  std::string read(std::size_t n);
  void close();

  const std::string& data() const { return data_; }
  std::size_t position() const { return position_; }

 private:
  std::string data_;
  std::size_t position_ = 0;
};

}  // namespace vd
