#include "text/disk_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "text/encoding.h"

namespace vd {

namespace {

// Owns one descriptor; closing it also drops any lock taken on it.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);  // the bytes are with the kernel already; nothing to report to
  }
  Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Descriptor& operator=(Descriptor&&) = delete;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Handles are numbered upwards and not reused before the counter wraps, so a stale handle names no file
// rather than a newer one. A writer holds the descriptor by shared_ptr, so a close on another thread
// cannot hand its descriptor number to a different file in the middle of a write.
class HandleTable {
 public:
  FileHandle add(std::shared_ptr<Descriptor> file) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (;;) {
      next_ = next_ == INT_MAX ? 1 : next_ + 1;
      if (files_.find(next_) == files_.end()) break;
    }
    files_.emplace(next_, std::move(file));
    return next_;
  }
  std::shared_ptr<Descriptor> find(FileHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = files_.find(handle);
    return it == files_.end() ? nullptr : it->second;
  }
  std::shared_ptr<Descriptor> remove(FileHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = files_.find(handle);
    if (it == files_.end()) return nullptr;
    std::shared_ptr<Descriptor> file = std::move(it->second);
    files_.erase(it);
    return file;
  }

 private:
  std::mutex mutex_;
  FileHandle next_ = 0;
  std::map<FileHandle, std::shared_ptr<Descriptor>> files_;
};

HandleTable& handle_table() {
  static HandleTable table;
  return table;
}

// A GBK path as the file system spells it; false for a path that no file can have.
bool to_native(std::string_view gbk_path, std::string& native) {
  if (gbk_path.empty() || gbk_path.find('\0') != std::string_view::npos) return false;
  native = native_path(gbk_path);
  return !native.empty();
}

int open_flags(int mode) {
  switch (mode) {
    case 1:
      return O_RDONLY;
    case 2:
      return O_WRONLY;
    case 3:
      return O_RDWR;
    case 4:
      return O_WRONLY | O_CREAT;  // emptied only once the lock is held
    case 5:
      return O_WRONLY | O_CREAT;
    case 6:
      return O_RDWR | O_CREAT;
    default:
      return -1;
  }
}

// Share 1 lets others read and write and takes no lock. The rest are advisory flock locks, which hold
// against every opener that locks (this process included), not against programs that never lock:
// 3 (others may read) a shared lock, 2 and 4 an exclusive one.
int lock_operation(int share) {
  switch (share) {
    case 2:
      return LOCK_EX;
    case 3:
      return LOCK_SH;
    case 4:
      return LOCK_EX;
    default:
      return 0;
  }
}

bool write_all(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Writes every text with as few system calls as the kernel allows: one writev for all of them, then plain
// writes for whatever a short write left over.
bool write_all_at_once(int fd, std::initializer_list<std::string_view> texts) {
  constexpr std::size_t kMaxPieces = 8;
  if (texts.size() > kMaxPieces) {
    for (std::string_view text : texts) {
      if (!write_all(fd, text.data(), text.size())) return false;
    }
    return true;
  }
  iovec pieces[kMaxPieces];
  std::size_t count = 0, total = 0;
  for (std::string_view text : texts) {
    pieces[count++] = {const_cast<char*>(text.data()), text.size()};
    total += text.size();
  }
  ssize_t n;
  do {
    n = ::writev(fd, pieces, static_cast<int>(count));
  } while (n < 0 && errno == EINTR);
  if (n < 0 || (n == 0 && total > 0)) return false;
  std::size_t done = static_cast<std::size_t>(n);
  for (std::string_view text : texts) {
    if (done >= text.size()) {
      done -= text.size();
      continue;
    }
    if (!write_all(fd, text.data() + done, text.size() - done)) return false;
    done = 0;
  }
  return true;
}

bool has_wildcard(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

// Length of the UTF-8 character that starts with this byte; stray bytes count alone.
std::size_t utf8_length(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// "*" matches any run of characters, "?" exactly one (a whole UTF-8 character); every other byte, "["
// and "\" included, matches only itself.
bool wildcard_match(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      const std::size_t step = utf8_length(static_cast<unsigned char>(name[n]));
      n = std::min(name.size(), n + step);
    } else if (p < pattern.size() && pattern[p] == name[n]) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      resume += utf8_length(static_cast<unsigned char>(name[resume]));
      n = std::min(name.size(), resume);
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

class DirectoryReader {
 public:
  explicit DirectoryReader(const std::string& path) : dir_(::opendir(path.c_str())) {}
  ~DirectoryReader() {
    if (dir_ != nullptr) ::closedir(dir_);
  }
  DirectoryReader(const DirectoryReader&) = delete;
  DirectoryReader& operator=(const DirectoryReader&) = delete;
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

bool any_entry_matches(const std::string& folder, std::string_view pattern) {
  DirectoryReader reader(folder);
  if (reader.get() == nullptr) return false;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(reader.get());
    if (entry == nullptr) return false;  // the end, or a read error: nothing more matches
    const std::string_view name(entry->d_name);
    if (name == "." || name == "..") continue;
    if (wildcard_match(pattern, name)) return true;
  }
}

}  // namespace

FileHandle open_disk_file(std::string_view path, int mode, int share) {
  const int flags = open_flags(mode);
  if (flags < 0 || share < 1 || share > 4) return 0;
  std::string native;
  if (!to_native(path, native)) return 0;

  int fd;
  do {
    fd = ::open(native.c_str(), flags | O_CLOEXEC | O_NOCTTY, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return 0;
  auto file = std::make_shared<Descriptor>(fd);

  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) return 0;
  if (const int operation = lock_operation(share); operation != 0) {
    int result;
    do {
      result = ::flock(fd, operation | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) return 0;
  }
  if (mode == 4 && S_ISREG(info.st_mode)) {
    int result;
    do {
      result = ::ftruncate(fd, 0);
    } while (result != 0 && errno == EINTR);
    if (result != 0) return 0;
  }
  return handle_table().add(std::move(file));
}

bool write_file_text(FileHandle file, std::string_view text) { return write_file_text(file, {text}); }

bool write_file_text(FileHandle file, std::initializer_list<std::string_view> texts) {
  const std::shared_ptr<Descriptor> open_file = handle_table().find(file);
  if (open_file == nullptr) return false;
  const int fd = open_file->get();

  // Where the call began, to put the position back, and the size, so that a tail that a failed write
  // left behind is cut off again rather than overwritten in part by the next write.
  const off_t start = ::lseek(fd, 0, SEEK_CUR);
  struct stat before {};
  const bool regular = ::fstat(fd, &before) == 0 && S_ISREG(before.st_mode);

  if (write_all_at_once(fd, texts)) return true;
  if (regular) {
    struct stat after {};
    if (::fstat(fd, &after) == 0 && after.st_size > before.st_size && start <= before.st_size) {
      while (::ftruncate(fd, before.st_size) != 0 && errno == EINTR) {
      }
    }
  }
  if (start >= 0) ::lseek(fd, start, SEEK_SET);
  return false;
}

void close_disk_file(FileHandle file) {
  // The descriptor closes when the last user lets go of it, which is here unless another thread is
  // writing to it at this moment.
  handle_table().remove(file);
}

bool path_exists(std::string_view path) {
  std::string native;
  if (!to_native(path, native)) return false;
  if (native.back() == '/') return false;

  const std::size_t slash = native.rfind('/');
  const std::string_view name =
      slash == std::string::npos ? std::string_view(native) : std::string_view(native).substr(slash + 1);
  if (!has_wildcard(name)) {
    struct stat info {};
    return ::lstat(native.c_str(), &info) == 0;
  }
  std::string folder;
  if (slash == std::string::npos) {
    folder = ".";
  } else if (slash == 0) {
    folder = "/";
  } else {
    folder = native.substr(0, slash);
  }
  return any_entry_matches(folder, name);
}

bool make_one_directory(std::string_view path) {
  std::string native;
  if (!to_native(path, native)) return false;
  return ::mkdir(native.c_str(), 0777) == 0;
}

std::string program_directory() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) {
      std::string exe(buffer.data(), static_cast<std::size_t>(n));
      const std::size_t slash = exe.rfind('/');
      if (slash == std::string::npos) return {};
      if (slash == 0) return path_separator();  // the root keeps its only separator
      return utf8_to_gbk_plain(std::string_view(exe).substr(0, slash));
    }
    if (buffer.size() >= (1u << 16)) return {};
    buffer.resize(buffer.size() * 2);
  }
}

const std::string& path_separator() {
  static const std::string separator = "/";
  return separator;
}

std::string native_path(std::string_view gbk_path) { return gbk_to_utf8(gbk_path); }

}  // namespace vd
