// Runs a fuzz target over saved inputs, without libFuzzer: the corpus replay that the tests run.
//
//   <target>_replay DIR_OR_FILE...
//
// Each directory's regular files are run in name order, each file given by itself as it is. A crash or a
// failed property ends the program (the name of the input was printed just before). Exit status 1 when an
// argument cannot be read or no input was found at all, since a replay that runs nothing proves nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool read_file(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// The inputs an argument names; false when it is neither a readable directory nor a regular file.
bool collect_inputs(const fs::path& argument, std::vector<fs::path>& inputs) {
  std::error_code error;
  if (fs::is_regular_file(argument, error)) {
    inputs.push_back(argument);
    return true;
  }
  if (!fs::is_directory(argument, error)) return false;
  std::vector<fs::path> found;
  for (fs::directory_iterator it(argument, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error)) found.push_back(it->path());
  }
  if (error) return false;
  std::sort(found.begin(), found.end());
  inputs.insert(inputs.end(), found.begin(), found.end());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DIR_OR_FILE...\n", argv[0]);
    return 2;
  }
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (!collect_inputs(argv[i], inputs)) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 1;
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "no inputs found\n");
    return 1;
  }
  std::string bytes;
  for (const fs::path& input : inputs) {
    if (!read_file(input, bytes)) {
      std::fprintf(stderr, "cannot read %s\n", input.c_str());
      return 1;
    }
    std::fprintf(stderr, "replay %s (%zu bytes)\n", input.c_str(), bytes.size());
    // A copy of exactly the input's size, so that AddressSanitizer sees a read past its end. Like
    // libFuzzer, an empty input still comes with a valid pointer.
    std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    const std::uint8_t no_bytes = 0;
    LLVMFuzzerTestOneInput(data.empty() ? &no_bytes : data.data(), data.size());
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
