#include "text/memory_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vd {
namespace {

std::vector<std::string> all_lines(const std::string& bytes) {
  MemoryFile file;
  file.write(bytes);
  file.rewind();
  std::vector<std::string> lines;
  while (!file.at_end()) lines.push_back(file.read_line());
  return lines;
}

TEST(MemoryFileReadLine, SplitsAtLfAndDropsOneCrBeforeIt) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},  // the last line without LF is the rest
      {"a\r\nlast", {"a", "last"}},
      {"a\r\r\nb", {"a\r", "b"}},                                    // only one CR goes
      {"tail\r", {"tail\r"}},                                        // a CR not followed by LF stays
      {"\n\r\n\n", {"", "", ""}},                                    // empty lines count
      {"x\ry\n", {"x\ry"}},                                          // a CR inside a line stays
      {std::string("n\0l\r\nz", 6), {std::string("n\0l", 3), "z"}},  // zero bytes are data
  };
  for (const Case& c : cases) EXPECT_EQ(all_lines(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST(MemoryFileReadLine, AtTheEndGivesEmptyText) {
  MemoryFile file;
  EXPECT_TRUE(file.at_end());
  EXPECT_EQ(file.read_line(), "");
  file.write("one\n");
  EXPECT_TRUE(file.at_end());
  EXPECT_EQ(file.read_line(), "");
  EXPECT_EQ(file.position(), 4u);
}

TEST(MemoryFileWrite, OverwritesAtThePositionAndGrowsPastTheEnd) {
  MemoryFile file;
  file.write("hello");
  EXPECT_EQ(file.position(), 5u);
  file.rewind();
  file.write("J");
  EXPECT_EQ(file.data(), "Jello");
  EXPECT_EQ(file.position(), 1u);
  file.write("ELLO, world");
  EXPECT_EQ(file.data(), "JELLO, world");
  EXPECT_EQ(file.position(), 12u);
  file.write("");
  EXPECT_EQ(file.data(), "JELLO, world");
}

TEST(MemoryFileRead, GivesUpToNBytesAndMovesPastThem) {
  MemoryFile file;
  file.write(std::string("ab\0cd", 5));
  file.rewind();
  EXPECT_EQ(file.read(0), "");
  EXPECT_EQ(file.read(3), std::string("ab\0", 3));
  EXPECT_EQ(file.read(100), "cd");
  EXPECT_TRUE(file.at_end());
  EXPECT_EQ(file.read(1), "");
}

TEST(MemoryFileClose, EmptiesTheStore) {
  MemoryFile file;
  file.write("data\n");
  file.close();
  EXPECT_EQ(file.data(), "");
  EXPECT_EQ(file.position(), 0u);
  EXPECT_TRUE(file.at_end());
  file.write("again");
  EXPECT_EQ(file.data(), "again");
}

}  // namespace
}  // namespace vd
