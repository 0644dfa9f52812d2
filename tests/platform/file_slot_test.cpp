#include "platform/file_slot.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/run_time_error.h"
#include "support/test_support.h"

namespace quelvaris {
namespace {

using testing::ErrorOf;
using testing::ReadFileBytes;
using testing::TempDir;

std::vector<std::string> ReadAllLines(const std::string& path) {
  FileSlot slot;
  slot.OpenForInput(path);
  std::vector<std::string> lines;
  while (!slot.AtEnd()) lines.emplace_back(slot.ReadLine());
  return lines;
}

TEST(FileSlot, LinesEndAtCrLfOrCrLf) {
  using Lines = std::vector<std::string>;
  struct Case {
    const char* name;
    std::string content;
    Lines lines;
  };
  const Case cases[] = {
      {"LF", "a\nb\n", {"a", "b"}},
      {"CRLF", "a\r\nb\r\n", {"a", "b"}},
      {"CR", "a\rb\r", {"a", "b"}},
      {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"no final line end", "1\t2", {"1\t2"}},
      {"one line then CRLF", "a\r\n", {"a"}},
      {"empty line kept", "a\r\n\r\n", {"a", ""}},
      {"LF CR is two ends", "a\n\rb", {"a", "", "b"}},
      {"empty file", "", {}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadAllLines(dir.Write("f.txt", c.content)), c.lines);
  }
}

TEST(FileSlot, CrlfSplitAcrossTheBufferIsOneLineEnd) {
  // Put the CR at every position around the 64 KiB buffer boundary.
  TempDir dir;
  const std::size_t kBuffer = 64 * 1024;
  for (std::size_t first = kBuffer - 3; first <= kBuffer + 1; ++first) {
    SCOPED_TRACE(first);
    const std::string a(first, 'x');
    const auto lines = ReadAllLines(dir.Write("f.txt", a + "\r\nsecond\r\n"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], a);
    EXPECT_EQ(lines[1], "second");
  }
}

TEST(FileSlot, ReadsALineMuchLongerThanTheBuffer) {
  TempDir dir;
  std::string big(50u << 20, '7');
  big[12345678] = '\t';
  const auto lines = ReadAllLines(dir.Write("big.txt", "head\n" + big + "\nfoot"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "head");
  EXPECT_TRUE(lines[1] == big);
  EXPECT_EQ(lines[2], "foot");
}

std::vector<std::string> ReadLineStarts(const std::string& path, std::size_t keep) {
  FileSlot slot;
  slot.OpenForInput(path);
  std::vector<std::string> lines;
  while (!slot.AtEnd()) lines.emplace_back(slot.ReadLine(keep));
  return lines;
}

// Only the start of each line is kept, and the rest is read past without losing or inventing a
// line, wherever the buffer boundary falls.
TEST(FileSlot, ReadLineKeepsOnlyTheStartOfALine) {
  TempDir dir;
  const std::size_t kBuffer = 64 * 1024;
  using Lines = std::vector<std::string>;
  EXPECT_EQ(ReadLineStarts(dir.Write("f.txt", "abcdef\r\nxy\r\n\r\nlast"), 3),
            (Lines{"abc", "xy", "", "las"}));
  EXPECT_EQ(ReadLineStarts(dir.Write("f.txt", "abc\rdef\n\n"), 0), (Lines{"", "", ""}));
  for (std::size_t first = kBuffer - 3; first <= kBuffer + 1; ++first) {
    SCOPED_TRACE(first);
    const std::string a(first, 'x');
    const std::string path = dir.Write("f.txt", a + "\r\nsecond\r\n");
    for (std::size_t keep : {first - 1, first, first + 1}) {
      EXPECT_EQ(ReadLineStarts(path, keep), (Lines{a.substr(0, keep), "second"})) << keep;
    }
  }
  const std::string big(3 * kBuffer, 'b');
  EXPECT_EQ(ReadLineStarts(dir.Write("f.txt", big + "\nz"), 2 * kBuffer + 5),
            (Lines{big.substr(0, 2 * kBuffer + 5), "z"}));

  // An endless line: what the caller does not keep is never read.
  FileSlot zero;
  zero.OpenForInput("/dev/zero");
  EXPECT_EQ(zero.ReadLine(10), std::string(10, '\0'));
}

TEST(FileSlot, InputErrors) {
  TempDir dir;
  const std::string file = dir.Write("data.txt", "only\n");
  const std::string folder = (dir.path() / "folder").string();
  std::filesystem::create_directory(folder);
  struct Case {
    const char* name;
    std::function<void()> op;
    int error;
  };
  const Case cases[] = {
      {"missing file", [&] { FileSlot().OpenForInput((dir.path() / "none.txt").string()); }, 53},
      {"missing folder",
       [&] { FileSlot().OpenForInput((dir.path() / "no" / "none.txt").string()); }, 76},
      {"file used as folder", [&] { FileSlot().OpenForInput(file + "/x.txt"); }, 76},
      {"a folder", [&] { FileSlot().OpenForInput(folder); }, 75},
      {"open twice",
       [&] {
         FileSlot s;
         s.OpenForInput(file);
         s.OpenForInput(file);
       },
       55},
      {"past the end",
       [&] {
         FileSlot s;
         s.OpenForInput(file);
         s.ReadLine();
         s.ReadLine();
       },
       62},
      {"read when closed", [&] { FileSlot().ReadLine(); }, 52},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ErrorOf(c.op), c.error);
  }
}

TEST(FileSlot, CloseMakesTheSlotFreeAgain) {
  TempDir dir;
  const std::string file = dir.Write("data.txt", "x");
  FileSlot s;
  s.OpenForInput(file);
  EXPECT_TRUE(s.IsOpen());
  s.Close();
  s.Close();
  EXPECT_FALSE(s.IsOpen());
  s.OpenForInput(file);
  EXPECT_EQ(s.ReadLine(), "x");
  EXPECT_TRUE(s.AtEnd());
}

TEST(FileSlot, OutputReplacesTheTargetOnlyOnCommit) {
  TempDir dir;
  const std::string target = dir.Write("out.txt", "previous");
  FileSlot s;
  s.OpenForOutput(target);
  s.Write("new ");
  s.Write(std::string(200000, 'n'));
  EXPECT_EQ(ReadFileBytes(target), "previous");
  s.CommitOutput();
  EXPECT_FALSE(s.IsOpen());
  EXPECT_EQ(ReadFileBytes(target), "new " + std::string(200000, 'n'));

  s.OpenForOutput(target);
  s.Write("abandoned");
  s.Close();
  EXPECT_EQ(ReadFileBytes(target), "new " + std::string(200000, 'n'));
  // No temporary file is left behind in either case.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(FileSlot, OutputFollowsASymbolicLink) {
  TempDir dir;
  const std::string real = dir.Write("real.txt", "old");
  const auto link = dir.path() / "link.txt";
  std::filesystem::create_symlink("real.txt", link);
  FileSlot s;
  s.OpenForOutput(link.string());
  s.Write("fresh");
  s.CommitOutput();
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(real), "fresh");
}

// A name of one of the program's own descriptors writes through it: after what was already
// written there, nothing truncated, the descriptor still open afterwards.
TEST(FileSlot, OutputToANameOfAnOpenDescriptorGoesThroughIt) {
  TempDir dir;
  const std::string file = dir.Write("printed.txt", "");
  const int fd = ::open(file.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  const std::string n = std::to_string(fd);
  const auto link = dir.path() / "link";
  std::filesystem::create_symlink("/proc/self/fd/" + n, link);
  std::string expected;
  for (const std::string& name :
       {"/dev/fd/" + n, "/proc/self/fd/" + n, "/proc/thread-self/fd/" + n, link.string()}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(::write(fd, "printed;", 8), 8);
    FileSlot slot;
    slot.OpenForOutput(name);
    slot.Write(name + ";");
    slot.CommitOutput();
    expected += "printed;" + name + ";";
    EXPECT_EQ(ReadFileBytes(file), expected);
  }
  ASSERT_EQ(::write(fd, "end", 3), 3);
  EXPECT_EQ(ReadFileBytes(file), expected + "end");
  ::close(fd);

  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  FileSlot slot;
  slot.OpenForOutput("/dev/fd/" + std::to_string(pipe_ends[1]));
  slot.Write("through the pipe");
  slot.CommitOutput();
  ::close(pipe_ends[1]);
  char got[64] = {};
  EXPECT_EQ(::read(pipe_ends[0], got, sizeof got), 16);
  EXPECT_STREQ(got, "through the pipe");
  EXPECT_EQ(ErrorOf([&] { slot.OpenForOutput("/dev/fd/" + std::to_string(pipe_ends[0])); }), 70);
  ::close(pipe_ends[0]);
  EXPECT_EQ(ErrorOf([&] { slot.OpenForOutput("/dev/fd/" + std::to_string(pipe_ends[0])); }), 53);
}

TEST(FileSlot, OutputErrorsLeaveNoTraceAndKeepTheTarget) {
  TempDir dir;
  const std::string existing = dir.Write("keep.txt", "keep me\r\n");
  {
    FileSlot s;
    EXPECT_EQ(ErrorOf([&] { s.OpenForOutput((dir.path() / "no" / "r.txt").string()); }), 76);
    EXPECT_FALSE(s.IsOpen());
    EXPECT_EQ(ErrorOf([&] { s.OpenForOutput(dir.path().string()); }), 75);
    s.OpenForOutput(existing);
    EXPECT_EQ(ErrorOf([&] { s.OpenForOutput(existing); }), 55);
    s.Close();
  }
  if (std::filesystem::exists("/dev/full")) {
    // The disk-full error surfaces at the latest on commit, never silently.
    FileSlot s;
    s.OpenForOutput("/dev/full");
    EXPECT_EQ(ErrorOf([&] {
                s.Write("results");
                s.CommitOutput();
              }),
              61);
    EXPECT_FALSE(s.IsOpen());
    s.OpenForOutput("/dev/full");
    EXPECT_EQ(ErrorOf([&] { s.Write(std::string(1 << 20, 'x')); }), 61);
    s.Close();
  }
  EXPECT_EQ(ReadFileBytes(existing), "keep me\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(FileSlot, AReadOnlyTargetIsRefusedNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file; the rename would be allowed";
  TempDir dir;
  const std::string locked = dir.Write("locked.txt", "keep me\r\n");
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
  FileSlot s;
  EXPECT_EQ(ErrorOf([&] { s.OpenForOutput(locked); }), 70);
  EXPECT_FALSE(s.IsOpen());
  EXPECT_EQ(ReadFileBytes(locked), "keep me\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace quelvaris
