#include "text/settings_file.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/support/temp_dir.h"
#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;
using vd::test::read_file;
using vd::test::TempDir;
using vd::test::write_file;

struct FindCase {
  const char* name;
  std::string contents;
  std::string section;
  std::string key;
  std::optional<std::string> expected;
};

TEST(ProfileRead, FindsValuesTheWayTheClassicReaderDoes) {
  const FindCase cases[] = {
      {"plain", "[a]\r\nk=v\r\n", "a", "k", "v"},
      {"lf lines", "[a]\nk=v\n", "a", "k", "v"},
      {"last line without end", "[a]\r\nk=v", "a", "k", "v"},
      {"section and key ignore ascii case", "[Main]\r\nKey=v\r\n", "mAIN", "kEY", "v"},
      {"blanks around name and value", "[ a ]\r\n  k  =  v w \t\r\n", "a", "k", "v w"},
      {"one pair of double quotes", "[a]\r\nk=\" v \"\r\n", "a", "k", " v "},
      {"one pair of single quotes", "[a]\r\nk='v'\r\n", "a", "k", "v"},
      {"only one pair goes", "[a]\r\nk=\"\"v\"\"\r\n", "a", "k", "\"v\""},
      {"unmatched quotes stay", "[a]\r\nk=\"v'\r\n", "a", "k", "\"v'"},
      {"a lone quote stays", "[a]\r\nk=\"\r\n", "a", "k", "\""},
      {"present but empty", "[a]\r\nk=\r\n", "a", "k", ""},
      {"value holding =", "[a]\r\nk=x=y\r\n", "a", "k", "x=y"},
      {"missing key", "[a]\r\nj=v\r\n", "a", "k", std::nullopt},
      {"missing section", "[b]\r\nk=v\r\n", "a", "k", std::nullopt},
      {"key of another section", "[b]\r\nk=v\r\n[a]\r\nj=w\r\n", "a", "k", std::nullopt},
      {"key before any section", "k=v\r\n[a]\r\n", "a", "k", std::nullopt},
      {"comment line", "[a]\r\n;k=v\r\n", "a", "k", std::nullopt},
      {"line without =", "[a]\r\nk\r\n", "a", "k", std::nullopt},
      {"first of two keys wins", "[a]\r\nk=1\r\nk=2\r\n", "a", "k", "1"},
      {"second section of the same name", "[a]\r\nj=1\r\n[b]\r\n[A]\r\nk=2\r\n", "a", "k", "2"},
      {"byte order mark", "\xEF\xBB\xBF[a]\r\nk=v\r\n", "a", "k", "v"},
      {"gbk names", "[" + "基本"_gbk + "]\r\n" + "关键词"_gbk + "=x\r\n", "基本"_gbk, "关键词"_gbk, "x"},
      {"empty file", "", "a", "k", std::nullopt},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(find_profile_value(c.contents, c.section, c.key), c.expected) << c.name;
  }
}

TEST(ProfileRead, AsciiCaseFoldingLeavesTwoByteCharactersAlone) {
  // 0xC1 0x41 and 0xC1 0x61 are different characters; folding the trail byte would confuse them.
  std::string contents = "[a]\r\n\xC1\x41=upper\r\n";
  EXPECT_EQ(find_profile_value(contents, "a", "\xC1\x41"), "upper");
  EXPECT_EQ(find_profile_value(contents, "a", "\xC1\x61"), std::nullopt);
}

struct WriteCase {
  const char* name;
  std::string before;
  std::string key;
  std::string value;
  std::string after;
};

TEST(ProfileWrite, ReplacesInPlaceAppendsToTheSectionOrAddsIt) {
  const WriteCase cases[] = {
      {"new file", "", "k", "v", "[a]\r\nk=v\r\n"},
      {"replace in place", "[a]\r\nj=1\r\nk=old\r\nl=3\r\n", "K", "new", "[a]\r\nj=1\r\nK=new\r\nl=3\r\n"},
      {"append after the section's last line", "[a]\r\nj=1\r\n\r\n[b]\r\nx=2\r\n", "k", "v",
       "[a]\r\nj=1\r\nk=v\r\n\r\n[b]\r\nx=2\r\n"},
      {"append to an empty section", "[a]\r\n[b]\r\n", "k", "v", "[a]\r\nk=v\r\n[b]\r\n"},
      {"section added after others", "[b]\r\nx=2\r\n", "k", "v", "[b]\r\nx=2\r\n[a]\r\nk=v\r\n"},
      {"file without a final line end", "[b]\r\nx=2", "k", "v", "[b]\r\nx=2\r\n[a]\r\nk=v\r\n"},
      {"last line ended by a lone CR", "[a]\r", "k", "v", "[a]\r\nk=v\r\n"},
      {"last key line ended by a lone CR", "[a]\r\nj=1\r", "k", "v", "[a]\r\nj=1\r\nk=v\r\n"},
      {"new section after a lone CR", "[b]\r\nx=2\r", "k", "v", "[b]\r\nx=2\r\n[a]\r\nk=v\r\n"},
      {"byte order mark kept", "\xEF\xBB\xBF[a]\r\nj=1\r\n", "k", "v", "\xEF\xBB\xBF[a]\r\nj=1\r\nk=v\r\n"},
      // The second mark is text of the first line, which is therefore no header; it stays so.
      {"second byte order mark", "\xEF\xBB\xBF\xEF\xBB\xBF[a]\r\n", "k", "v",
       "\xEF\xBB\xBF\xEF\xBB\xBF[a]\r\n[a]\r\nk=v\r\n"},
      {"lf file stays lf", "[a]\nj=1\n", "k", "v", "[a]\nj=1\nk=v\n"},
      {"empty value", "[a]\r\nk=v\r\n", "k", "", "[a]\r\nk=\r\n"},
      {"blanks written as they are", "", "k", " v ", "[a]\r\nk= v \r\n"},
      {"other sections' keys untouched", "[b]\r\nk=1\r\n[a]\r\nk=2\r\n", "k", "3",
       "[b]\r\nk=1\r\n[a]\r\nk=3\r\n"},
  };
  for (const WriteCase& c : cases) {
    EXPECT_EQ(with_profile_value(c.before, "a", c.key, c.value), c.after) << c.name;
  }
}

TEST(ProfileWrite, RefusesWhatWouldBreakTheLineStructure) {
  struct Refused {
    const char* name;
    std::string section, key, value;
  };
  const Refused cases[] = {
      {"lf in value", "a", "k", "x\ny=1"},
      {"cr in value", "a", "k", "x\r"},
      {"= in key", "a", "k=j", "v"},
      {"key looks like a header", "a", "[k]", "v"},
      {"key looks like a comment", "a", ";k", "v"},
      {"empty key", "a", "", "v"},
      {"] in section", "a]b", "k", "v"},
      {"empty section", "", "k", "v"},
      {"line break in key", "a", "k\r\nj", "v"},
      {"blank around key", "a", " k", "v"},
  };
  for (const Refused& c : cases) {
    EXPECT_EQ(with_profile_value("[a]\r\n", c.section, c.key, c.value), std::nullopt) << c.name;
  }
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.ok());
    settings.set_file(path());
    settings.set_section(settings_section());
  }
  std::string path() const { return dir.file("verodero.ini"); }
  std::string contents() const { return read_file(path()); }

  TempDir dir;
  SettingsFile settings;
};

TEST_F(SettingsFileTest, MissingFileGivesTheDefaultAndTheFirstWriteCreatesIt) {
  EXPECT_EQ(settings.read_text("k", "a\r\nb"), "a\r\nb");
  EXPECT_TRUE(settings.write_text("k", "v"));
  EXPECT_EQ(contents(), "[" + "基本"_gbk + "]\r\nk=v\r\n");
  EXPECT_EQ(settings.read_text("k", "d"), "v");
}

TEST_F(SettingsFileTest, LineBreaksTravelAsTheMarker) {
  const std::string marker = "\xA9\xAE*\xA9\xAE";
  ASSERT_EQ(line_break_marker(), marker);
  const std::string four_lines = "one\r\ntwo\r\n\r\nfour";
  ASSERT_TRUE(settings.write_text("k", four_lines));
  EXPECT_EQ(contents(), "[" + "基本"_gbk + "]\r\nk=one" + marker + "two" + marker + marker + "four\r\n");
  EXPECT_EQ(settings.read_text("k", ""), four_lines);

  // A value that holds the marker itself comes back with a line break in its place.
  ASSERT_TRUE(write_profile_text(path(), settings_section(), "m", "a" + marker + "b"));
  EXPECT_EQ(settings.read_text("m", ""), "a\r\nb");
}

TEST_F(SettingsFileTest, LoneLineBreaksCannotSplitTheFile) {
  // Written raw, the LF would start a line of its own and plant a key "百度=真" in the section.
  ASSERT_TRUE(settings.write_text("k", "x\n" + "百度=真"_gbk + "\ry"));
  EXPECT_EQ(settings.read_text("百度"_gbk, "none"), "none");
  EXPECT_EQ(settings.read_text("k", ""), "x\r\n" + "百度=真"_gbk + "\r\ny");
}

TEST_F(SettingsFileTest, BlanksAndQuotesAroundAValueDoNotSurvive) {
  const std::pair<std::string, std::string> cases[] = {
      {"  spaced  ", "spaced"}, {"\"quoted\"", "quoted"}, {"\t\"both\" ", "both"}, {"in side", "in side"}};
  for (const auto& [written, read] : cases) {
    ASSERT_TRUE(settings.write_text("k", written));
    EXPECT_EQ(settings.read_text("k", "d"), read) << written;
  }
}

TEST_F(SettingsFileTest, ValuesComeBackCutTo10239Bytes) {
  std::string long_value(10300, 'x');
  ASSERT_TRUE(settings.write_text("k", long_value));
  EXPECT_EQ(settings.read_text("k", ""), std::string(10239, 'x'));

  // The cut counts each line break as the five bytes of the marker; a marker cut in two stays as bytes.
  std::string with_break = std::string(10236, 'y') + "\r\nz";
  ASSERT_TRUE(settings.write_text("k", with_break));
  EXPECT_EQ(settings.read_text("k", ""), std::string(10236, 'y') + "\xA9\xAE*");

  std::string just_fits = std::string(10234, 'y') + "\r\n";
  ASSERT_TRUE(settings.write_text("k", just_fits));
  EXPECT_EQ(settings.read_text("k", ""), just_fits);
}

TEST_F(SettingsFileTest, OptionsAreTrueOnlyForTheExactChoiceText) {
  struct OptionCase {
    const char* name;
    std::optional<std::string> stored;
    bool current;
    bool expected;
  };
  const OptionCase cases[] = {
      {"true text", "真"_gbk, false, true},
      {"false text", "假"_gbk, true, false},
      {"digit", "1", true, false},
      {"other word", "true", true, false},
      {"empty", "", true, false},
      {"missing keeps on", std::nullopt, true, true},
      {"missing keeps off", std::nullopt, false, false},
  };
  for (const OptionCase& c : cases) {
    std::string file = "[" + "基本"_gbk + "]\r\n";
    if (c.stored) file += "360=" + *c.stored + "\r\n";
    ASSERT_TRUE(write_file(path(), file));
    EXPECT_EQ(settings.read_option("360", c.current), c.expected) << c.name;
  }
  ASSERT_TRUE(settings.write_option("360", true));
  ASSERT_TRUE(settings.write_option("谷歌"_gbk, false));
  EXPECT_EQ(contents(), "[" + "基本"_gbk + "]\r\n360=" + "真"_gbk + "\r\n" + "谷歌=假"_gbk + "\r\n");
}

TEST_F(SettingsFileTest, WritingLeavesNoTemporaryFilesAndKeepsOtherContent) {
  ASSERT_TRUE(write_file(path(), "; mine\r\n[other]\r\nx=1\r\n"));
  ASSERT_TRUE(settings.write_text("k", "v"));
  ASSERT_TRUE(settings.write_text("k", "w"));
  EXPECT_EQ(contents(), "; mine\r\n[other]\r\nx=1\r\n[" + "基本"_gbk + "]\r\nk=w\r\n");
  int entries = 0;
  if (DIR* d = opendir(dir.path().c_str())) {
    while (dirent* e = readdir(d)) entries += e->d_name[0] != '.';
    closedir(d);
  }
  EXPECT_EQ(entries, 1);
}

TEST_F(SettingsFileTest, AFailedWriteIsReportedAndChangesNothing) {
  SettingsFile nowhere;
  nowhere.set_file(dir.file("missing/verodero.ini"));
  nowhere.set_section("a");
  EXPECT_FALSE(nowhere.write_text("k", "v"));
  SettingsFile unnamed;
  EXPECT_FALSE(unnamed.write_text("k", "v"));
  EXPECT_EQ(unnamed.read_text("k", "d"), "d");

  // A folder in the file's place cannot be read, and is not replaced.
  SettingsFile folder;
  folder.set_file(dir.path());
  folder.set_section("a");
  EXPECT_FALSE(folder.write_text("k", "v"));
  EXPECT_EQ(folder.read_text("k", "d"), "d");
}

TEST_F(SettingsFileTest, EditorsUtf8CopyIsReadAndWrittenBackAsGbk) {
  ASSERT_TRUE(write_file(path(), "\xEF\xBB\xBF[基本]\nkeyword=外星人\n"));
  EXPECT_EQ(settings.read_text("keyword", ""), "外星人"_gbk);
  ASSERT_TRUE(settings.write_text("k", "v"));
  EXPECT_EQ(contents(), "[" + "基本"_gbk + "]\nkeyword=" + "外星人"_gbk + "\nk=v\n");
}

TEST_F(SettingsFileTest, HugeAndBinaryFilesNeitherCrashNorHang) {
  std::mt19937 random(7);
  std::string garbage(20 * 1024 * 1024, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  ASSERT_TRUE(write_file(path(), garbage));
  EXPECT_EQ(settings.read_text("k", "d"), "d");
  EXPECT_FALSE(settings.read_option("360", false));
  ASSERT_TRUE(settings.write_text("k", "v"));
  EXPECT_EQ(settings.read_text("k", "d"), "v");

  // One line of 20 MB inside the section, no line ends at all.
  std::string one_line = "[" + "基本"_gbk + "]\r\nk=" + std::string(20 * 1024 * 1024, 'q');
  ASSERT_TRUE(write_file(path(), one_line));
  EXPECT_EQ(settings.read_text("k", "d").size(), 10239u);
}

TEST(SettingsKeys, AreTheTenKeysInSaveOrder) {
  const std::string expected[] = {"关键词"_gbk,   "百度"_gbk,     "360",          "搜狗"_gbk,
                                  "谷歌"_gbk,     "搜索页数"_gbk, "保存目录"_gbk, "扩展名"_gbk,
                                  "保存模板"_gbk, "起始页号"_gbk};
  ASSERT_EQ(settings_keys().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(settings_keys()[i], expected[i]) << i;
  EXPECT_EQ(settings_section(), "\xBB\xF9\xB1\xBE");
}

TEST(SettingsLocation, ProgramFolderWhenWritable) {
  // Tests run from the build tree, which is writable: the portable place wins.
  std::string path = settings_file_path();
  ASSERT_GE(path.size(), 13u);
  EXPECT_EQ(path.substr(path.size() - 13), "/verodero.ini");
}

}  // namespace
}  // namespace vd
