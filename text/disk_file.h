// Files addressed by GBK paths. Paths are converted to the file system's encoding (UTF-8 on Linux) only
// where a file is opened, searched or a folder made. Contents are written as raw bytes.
#pragma once

#include <string>
#include <string_view>

namespace vd {

// A non-zero value names an open file; 0 is no file.
using FileHandle = int;

// Modes: 1 read, 2 write, 3 read/write (existing files only); 4 write, emptied or created (rewrite);
// 5 write, 6 read/write (created when missing, contents kept). The position starts at 0 in every mode.
// Share 1-4 are accepted; share 1 (others may read and write) takes no lock. 3 (others may read) takes a
// shared flock, 2 and 4 an exclusive one; these locks are advisory: they refuse other openers that lock,
// this process included, not programs that never lock. Any refusal gives 0, and a refused rewrite leaves
// the contents alone. Handles are numbered upwards from a thread-safe table and not reused, so a stale
// handle names no file rather than another one.
FileHandle open_disk_file(std::string_view path, int mode = 3, int share = 1);
// Writes the bytes at the current position, all of them (partial writes are continued). False when any
// write fails: the position is put back and bytes that the failed call added past the old end of the
// file are cut off again. False and nothing written for a handle that is not open.
bool write_file_text(FileHandle file, std::string_view text);
bool write_file_text(FileHandle file, std::initializer_list<std::string_view> texts);
// Every byte written is in the file afterwards. A handle that is not open is ignored.
void close_disk_file(FileHandle file);

// True when a file or folder matches; "*" and "?" are wildcards in the last level. A path that ends with
// the separator matches nothing.
bool path_exists(std::string_view path);
// Creates exactly this folder; false when it exists, its parent is missing or the system refuses.
bool make_one_directory(std::string_view path);
// The folder that holds the running program, without a trailing separator.
std::string program_directory();

// The platform's path separator as text ("/" here).
const std::string& path_separator();
// GBK path to the file system's encoding.
std::string native_path(std::string_view gbk_path);

}  // namespace vd
