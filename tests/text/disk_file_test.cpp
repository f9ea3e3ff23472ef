#include "text/disk_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "tests/support/temp_dir.h"
#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;
using test::read_file;
using test::TempDir;
using test::write_file;

bool native_exists(const std::string& native) {
  struct stat info {};
  return ::lstat(native.c_str(), &info) == 0;
}

class DiskFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.ok()); }
  TempDir dir;
};

// What each mode does with a missing file and with one holding "0123456789", and where it writes "ab".
TEST_F(DiskFileTest, ModesOpenCreateEmptyOrKeepAndStartAtZero) {
  struct Case {
    int mode;
    bool opens_missing;
    bool writes;
    const char* after_write_on_present;
  };
  const Case cases[] = {
      {1, false, false, "0123456789"}, {2, false, true, "ab23456789"}, {3, false, true, "ab23456789"},
      {4, true, true, "ab"},           {5, true, true, "ab23456789"},  {6, true, true, "ab23456789"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    const std::string missing = dir.file("missing" + std::to_string(c.mode));
    const FileHandle none = open_disk_file(missing, c.mode);
    EXPECT_EQ(none != 0, c.opens_missing);
    EXPECT_EQ(native_exists(missing), c.opens_missing);
    if (c.opens_missing) {
      EXPECT_EQ(read_file(missing), "");
      close_disk_file(none);
    }

    const std::string present = dir.file("present" + std::to_string(c.mode));
    ASSERT_TRUE(write_file(present, "0123456789"));
    const FileHandle file = open_disk_file(present, c.mode);
    ASSERT_NE(file, 0);
    EXPECT_EQ(read_file(present), c.mode == 4 ? "" : "0123456789");
    EXPECT_EQ(write_file_text(file, "ab"), c.writes);
    close_disk_file(file);
    EXPECT_EQ(read_file(present), c.after_write_on_present);
  }
}

TEST_F(DiskFileTest, RewriteEmptiesAndTextIsWrittenAsItStands) {
  const std::string path = dir.file("out.txt");
  ASSERT_TRUE(write_file(path, std::string(100, 'x')));
  const FileHandle file = open_disk_file(path, 4);
  ASSERT_NE(file, 0);
  EXPECT_EQ(read_file(path), "");
  EXPECT_TRUE(write_file_text(file, "ab"));
  EXPECT_TRUE(write_file_text(file, "c"));
  EXPECT_TRUE(write_file_text(file, {"\r\n", std::string_view("\0\n", 2), "", "\xC4\xEA"}));
  EXPECT_TRUE(write_file_text(file, ""));
  close_disk_file(file);
  EXPECT_EQ(read_file(path), std::string("abc\r\n\0\n\xC4\xEA", 9));
}

TEST_F(DiskFileTest, RefusalsGiveNoHandle) {
  ASSERT_TRUE(write_file(dir.file("f"), "x"));
  ASSERT_EQ(::mkdir(dir.file("folder").c_str(), 0777), 0);
  struct Case {
    std::string path;
    int mode;
    int share;
  };
  const Case cases[] = {
      {"", 4, 1},
      {dir.file("f"), 0, 1},
      {dir.file("f"), 7, 1},
      {dir.file("f"), 3, 0},
      {dir.file("f"), 3, 5},
      {dir.file("no/such/folder.txt"), 4, 1},
      {dir.file("folder"), 1, 1},
      {dir.file("folder"), 4, 1},
      {dir.file("f") + std::string("\0.txt", 5), 4, 1},  // a name no file can have, not a shorter one
      {dir.file("f/inside"), 6, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(open_disk_file(c.path, c.mode, c.share), 0)
        << testing::PrintToString(c.path) << " " << c.mode << " " << c.share;
  }
  EXPECT_EQ(read_file(dir.file("f")), "x");
  EXPECT_FALSE(native_exists(dir.file("f.txt")));
}

TEST_F(DiskFileTest, GbkNamesAreUtf8OnDisk) {
  const std::string name = "外星人_2013年5月14日9时5分7秒.htm"_gbk;
  const FileHandle file = open_disk_file(dir.path() + "/" + name, 4);
  ASSERT_NE(file, 0);
  EXPECT_TRUE(write_file_text(file, "\xCD\xE2"));  // contents stay GBK
  close_disk_file(file);
  EXPECT_EQ(read_file(dir.file("外星人_2013年5月14日9时5分7秒.htm")), "\xCD\xE2");
  EXPECT_EQ(native_path("a/" + "外星人"_gbk), "a/外星人");
}

TEST_F(DiskFileTest, HandlesThatAreNotOpenDoNothing) {
  const std::string first_path = dir.file("first");
  const std::string second_path = dir.file("second");
  const FileHandle first = open_disk_file(first_path, 4);
  ASSERT_NE(first, 0);
  close_disk_file(first);
  const FileHandle second = open_disk_file(second_path, 4);
  ASSERT_NE(second, 0);
  EXPECT_NE(second, first);

  for (FileHandle stale : {0, -1, first, second + 1000}) {
    EXPECT_FALSE(write_file_text(stale, "stray")) << stale;
    EXPECT_FALSE(write_file_text(stale, {"a", "b"})) << stale;
    close_disk_file(stale);
  }
  EXPECT_TRUE(write_file_text(second, "kept"));
  close_disk_file(second);
  close_disk_file(second);
  EXPECT_EQ(read_file(first_path), "");
  EXPECT_EQ(read_file(second_path), "kept");
}

TEST(WriteFileText, ReportsAFailedWrite) {
  const FileHandle full = open_disk_file("/dev/full", 2);
  ASSERT_NE(full, 0);
  EXPECT_FALSE(write_file_text(full, "no room"));
  EXPECT_FALSE(write_file_text(full, {"", "x"}));
  EXPECT_TRUE(write_file_text(full, ""));
  close_disk_file(full);
}

// Exit code 0 when a write that stops half-way (at a file size limit of 8 bytes) puts the position back
// and leaves no partial tail, so that the next write continues where the last good one ended.
int write_past_a_size_limit(const std::string& path) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{8, 8};
  if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
  const FileHandle file = open_disk_file(path, 4);
  if (file == 0) return 11;
  if (!write_file_text(file, "1234")) return 12;
  if (write_file_text(file, "abcdefgh")) return 13;  // 4 bytes fit, then the limit
  if (write_file_text(file, {"xy", "zzzzzzz"})) return 14;
  if (!write_file_text(file, "XY")) return 15;
  close_disk_file(file);
  return read_file(path) == "1234XY" ? 0 : 16;
}

// In a child process, because of the limit.
TEST_F(DiskFileTest, AFailedWritePutsThePositionBack) {
  const std::string path = dir.file("limited");
  EXPECT_EXIT(std::_Exit(write_past_a_size_limit(path)), ::testing::ExitedWithCode(0), "");
}

TEST_F(DiskFileTest, ShareValuesLockAgainstOtherLockingOpeners) {
  struct Case {
    int first_share;
    int second_share;
    bool second_opens;
  };
  const Case cases[] = {
      {1, 1, true},  {1, 4, true},  {4, 1, true},  // share 1 takes no lock and heeds none
      {4, 4, false}, {4, 3, false}, {2, 2, false}, {3, 4, false}, {3, 3, true}, {3, 2, false},
  };
  const std::string path = dir.file("shared");
  ASSERT_TRUE(write_file(path, "s"));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.first_share) + " then " + std::to_string(c.second_share));
    const FileHandle first = open_disk_file(path, 3, c.first_share);
    ASSERT_NE(first, 0);
    const FileHandle second = open_disk_file(path, 3, c.second_share);
    EXPECT_EQ(second != 0, c.second_opens);
    close_disk_file(second);
    close_disk_file(first);
    const FileHandle again = open_disk_file(path, 3, 4);  // every lock is gone after closing
    EXPECT_NE(again, 0);
    close_disk_file(again);
  }
}

TEST_F(DiskFileTest, ALockedRewriteLeavesTheContents) {
  const std::string path = dir.file("locked");
  ASSERT_TRUE(write_file(path, "keep"));
  const FileHandle holder = open_disk_file(path, 3, 4);
  ASSERT_NE(holder, 0);
  EXPECT_EQ(open_disk_file(path, 4, 4), 0);
  EXPECT_EQ(read_file(path), "keep");
  close_disk_file(holder);
}

TEST_F(DiskFileTest, PathExistsMatchesStarAndQuestionMarkInTheLastLevel) {
  for (const char* name : {"a.txt", "b.log", "[x].txt", "外星人.htm", ".hidden"}) {
    ASSERT_TRUE(write_file(dir.file(name), ""));
  }
  ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir(dir.file("empty").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir(dir.file("star*").c_str(), 0777), 0);
  ASSERT_TRUE(write_file(dir.file("star*/inner"), ""));

  const std::string d = dir.path() + "/";
  struct Case {
    std::string path;
    bool exists;
  };
  const Case cases[] = {
      {d + "a.txt", true},
      {d + "c.txt", false},
      {d + "*.txt", true},
      {d + "*.doc", false},
      {d + "?.log", true},
      {d + "??.log", false},
      {d + "a.tx?", true},
      {d + "a.txt?", false},
      {d + "*", true},
      {d + "*a*t*", true},
      {d + "[x].txt", true},
      {d + "[a].txt", false},  // brackets are not a character class
      {d + "[?].txt", true},
      {d + "外?人.htm"_gbk, true},  // "?" stands for one whole character
      {d + "外??.htm"_gbk, true},
      {d + "外?.htm"_gbk, false},
      {d + "*人.htm"_gbk, true},
      {d + ".h*", true},
      {d + "sub", true},
      {d + "s?b", true},
      {d + "sub/", false},
      {dir.path() + "/", false},
      {d + "empty/*", false},
      {d + "missing/*.txt", false},
      {d + "*/a.txt", false},  // wildcards only in the last level
      {d + "star*/inner", true},
      {"", false},
      {"/", false},
  };
  for (const Case& c : cases) EXPECT_EQ(path_exists(c.path), c.exists) << c.path;
}

TEST_F(DiskFileTest, MakeOneDirectoryCreatesExactlyOneLevel) {
  struct Case {
    std::string path;
    bool made;
  };
  const Case cases[] = {
      {dir.file("new"), true},
      {dir.file("new"), false},  // exists now
      {dir.file("new/inner"), true},
      {dir.file("parent/child"), false},
      {dir.path() + "/" + "采集"_gbk, true},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(make_one_directory(c.path), c.made) << c.path;
  EXPECT_FALSE(native_exists(dir.file("parent")));
  struct stat info {};
  ASSERT_EQ(::stat(dir.file("采集").c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
}

TEST(ProgramDirectory, IsTheFolderOfTheRunningProgram) {
  const std::string folder = program_directory();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '/');
  EXPECT_TRUE(path_exists(folder + path_separator() + "text_tests"));
}

}  // namespace
}  // namespace vd
