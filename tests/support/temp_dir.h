// A temporary folder for a test, removed with everything in it when the owner goes away.
//
// The folder is made by mkdtemp under $TMPDIR (or /tmp) with a name like "verodero-XXXXXX". Paths are
// ASCII native paths, so they are valid GBK paths as well and can be handed to the core's file functions.
// Movable, not copyable. A folder that cannot be made leaves path() empty and ok() false.
#pragma once

#include <string>
#include <string_view>

namespace vd::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(TempDir&& other) noexcept;
  TempDir& operator=(TempDir&& other) noexcept;
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  bool ok() const { return !path_.empty(); }
  // The folder, without a trailing separator.
  const std::string& path() const { return path_; }
  // path() + "/" + name; name may hold further levels ("a/b.txt"). Nothing is created.
  std::string file(std::string_view name) const;

 private:
  std::string path_;
};

// Whole-file helpers on native paths for setting up and checking fixtures. write_file replaces the
// file's contents; read_file gives the empty text when the file cannot be read.
bool write_file(const std::string& native_path, std::string_view bytes);
std::string read_file(const std::string& native_path);

}  // namespace vd::test
