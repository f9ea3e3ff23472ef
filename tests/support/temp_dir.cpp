#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>
#include <vector>

namespace vd::test {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = (base != nullptr && *base != '\0') ? base : "/tmp";
  while (pattern.size() > 1 && pattern.back() == '/') pattern.pop_back();
  pattern += "/verodero-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

TempDir::TempDir(TempDir&& other) noexcept : path_(std::exchange(other.path_, {})) {}

TempDir& TempDir::operator=(TempDir&& other) noexcept {
  if (this != &other) {
    TempDir old(std::move(*this));
    path_ = std::exchange(other.path_, {});
  }
  return *this;
}

std::string TempDir::file(std::string_view name) const {
  std::string out = path_;
  out += '/';
  out += name;
  return out;
}

bool write_file(const std::string& native_path, std::string_view bytes) {
  std::ofstream out(native_path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

std::string read_file(const std::string& native_path) {
  std::ifstream in(native_path, std::ios::binary);
  if (!in) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace vd::test
