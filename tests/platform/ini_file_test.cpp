#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace quelvaris {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

TEST(IniFile, ReadsKeysCaseInsensitivelyAndWhole) {
  TempDir dir;
  const std::string path = dir.Write("s.ini",
                                     "; a comment\r\n"
                                     "[Other]\r\n"
                                     "DecimalsReq=9\r\n"
                                     "\r\n"
                                     "[ quelvaris ]\r\n"
                                     "  decimalsreq =3\r\n"
                                     ";DefaultDir=/commented\r\n"
                                     "DefaultDir= /a long/path with = sign \r\n"
                                     "Empty=\r\n"
                                     "decimalsREQ=4\r\n"
                                     "[Later]\r\n"
                                     "Splash=False");
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"Quelvaris", "DecimalsReq", "3"},
      {"QUELVARIS", "defaultdir", " /a long/path with = sign "},
      {"Quelvaris", "Empty", ""},
      {"Quelvaris", "Splash", "Missing"},
      {"Other", "DECIMALSREQ", "9"},
      {"Later", "Splash", "False"},
      {"Absent", "DecimalsReq", "Missing"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(ReadIniValue(path, c.section, c.key, "Missing"), c.value);
  }
  EXPECT_EQ(ReadIniValue((dir.path() / "none.ini").string(), "Quelvaris", "A", "Missing"),
            "Missing");
  EXPECT_EQ(ReadIniValue(dir.path().string(), "Quelvaris", "A", "dflt"), "dflt");
  const std::string lf = dir.Write("lf.ini", "[Quelvaris]\nGlobalMissingCode=-99\n");
  EXPECT_EQ(ReadIniValue(lf, "Quelvaris", "GlobalMissingCode", "Missing"), "-99");
}

TEST(IniFile, WriteReplacesOrAddsTheKeyAndKeepsEveryOtherLine) {
  TempDir dir;
  struct Case {
    const char* name;
    std::string before;
    const char* key;
    const char* value;
    std::string after;
  };
  const Case cases[] = {
      {"replace, CRLF kept", "; mine\r\n[Quelvaris]\r\nDecimalsReq=2\r\nSplash=True\r\n",
       "decimalsreq", "4", "; mine\r\n[Quelvaris]\r\ndecimalsreq=4\r\nSplash=True\r\n"},
      {"add at the end of its section, LF kept", "[quelvaris]\nA=1\n\n[Other]\nB=2\n", "DefaultDir",
       "/home/u", "[quelvaris]\nA=1\nDefaultDir=/home/u\n\n[Other]\nB=2\n"},
      {"section appended", "[Other]\r\nB=2\r\n", "Splash", "False",
       "[Other]\r\nB=2\r\n[Quelvaris]\r\nSplash=False\r\n"},
      {"empty section", "[Quelvaris]\r\n", "Splash", "False", "[Quelvaris]\r\nSplash=False\r\n"},
      {"byte order mark kept", "\xEF\xBB\xBF[Quelvaris]\r\nSplash=True\r\n", "Splash", "False",
       "\xEF\xBB\xBF[Quelvaris]\r\nSplash=False\r\n"},
      {"same key in another section untouched", "[Other]\nSplash=1\n[Quelvaris]\nSplash=2\n",
       "Splash", "False", "[Other]\nSplash=1\n[Quelvaris]\nSplash=False\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.Write("s.ini", c.before);
    ASSERT_TRUE(WriteIniValue(path, "Quelvaris", c.key, c.value));
    EXPECT_EQ(ReadFileBytes(path), c.after);
    EXPECT_EQ(ReadIniValue(path, "Quelvaris", c.key, "Missing"), c.value);
  }
  const std::string fresh = (dir.path() / "new.ini").string();
  ASSERT_TRUE(WriteIniValue(fresh, "Quelvaris", "GlobalMissingCode", "-999"));
  ASSERT_TRUE(WriteIniValue(fresh, "Quelvaris", "DefaultDir", "/data"));
  EXPECT_EQ(ReadFileBytes(fresh), "[Quelvaris]\r\nGlobalMissingCode=-999\r\nDefaultDir=/data\r\n");
}

TEST(IniFile, FailedWritesReturnFalseAndChangeNothing) {
  TempDir dir;
  const std::string blocker = dir.Write("plain.txt", "not a folder");
  const std::string content = "[Quelvaris]\r\nDecimalsReq=2\r\n";
  const std::string path = dir.Write("s.ini", content);
  EXPECT_FALSE(WriteIniValue(blocker + "/s.ini", "Quelvaris", "A", "1"));
  EXPECT_FALSE(WriteIniValue((dir.path() / "no" / "s.ini").string(), "Quelvaris", "A", "1"));
  EXPECT_FALSE(WriteIniValue(dir.path().string(), "Quelvaris", "A", "1"));
  EXPECT_FALSE(WriteIniValue("/proc/quelvaris-test.ini", "Quelvaris", "A", "1"));
  // A line break would smuggle a line of its own into the file.
  EXPECT_FALSE(WriteIniValue(path, "Quelvaris", "DefaultDir", "/x\r\nSplash=False"));
  EXPECT_FALSE(WriteIniValue(path, "Quelvaris", "Bad\nKey", "1"));
  EXPECT_EQ(ReadFileBytes(path), content);

  // A write that fails half way (here: the file size limit, which binds even for root) leaves
  // the old file whole and no temporary file behind.
  struct rlimit old_limit {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  struct rlimit small = old_limit;
  small.rlim_cur = 16;
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WriteIniValue(path, "Quelvaris", "DefaultDir", "/a/long/enough/path");
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFileBytes(path), content);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(IniFile, WriteThroughALinkReplacesTheFileItNames) {
  TempDir dir;
  const std::string real = dir.Write("real.ini", "[Quelvaris]\nA=1\n");
  const auto link = dir.path() / "link.ini";
  std::filesystem::create_symlink(real, link);
  ASSERT_TRUE(WriteIniValue(link.string(), "Quelvaris", "A", "2"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(real), "[Quelvaris]\nA=2\n");
}

}  // namespace
}  // namespace quelvaris

namespace quelvaris {
namespace {

TEST(IniFile, SeveralKeysGoInOneReplacement) {
  testing::TempDir dir;
  const std::string path = dir.Write("s.ini", "[Quelvaris]\nDecimalsReq=2\n");
  ASSERT_TRUE(
      WriteIniValues(path, "Quelvaris",
                     {{"GlobalMissingCode", "-99"}, {"DefaultDir", "/d"}, {"DecimalsReq", "3"}}));
  EXPECT_EQ(testing::ReadFileBytes(path),
            "[Quelvaris]\nDecimalsReq=3\nGlobalMissingCode=-99\nDefaultDir=/d\n");
  // One unusable entry stops them all.
  EXPECT_FALSE(WriteIniValues(path, "Quelvaris", {{"DecimalsReq", "4"}, {"DefaultDir", "/a\n"}}));
  EXPECT_EQ(ReadIniValue(path, "Quelvaris", "DecimalsReq", ""), "3");
}

}  // namespace
}  // namespace quelvaris
