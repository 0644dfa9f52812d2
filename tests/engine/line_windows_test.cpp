// The runs of whole lines a byte range is read in: together the range's bytes, each ending at a
// line end, a CRLF never split, a long line in one run.

#include "engine/line_windows.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace quelvaris {
namespace {

TEST(LineWindows, RunsJoinToTheRangeAndEndAtLineEnds) {
  constexpr std::size_t kRun = LineWindows::kBytes;
  struct Case {
    const char* name;
    std::string text;
    bool whole;  // false: a line too long for any run
  };
  const Case cases[] = {
      {"a CRLF across the first run's end", std::string(kRun - 1, 'a') + "\r\nb\r\n", true},
      {"a CR line end as the first run's last byte", std::string(kRun - 1, 'a') + "\rb\r", true},
      {"a line longer than a run", "x\n" + std::string(3 * kRun, 'a') + "\nend", true},
      {"a line longer than the largest run", std::string(LineWindows::kMaxBytes + 1, 'a'), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir dir;
    const std::string path = dir.Write("lines.txt", c.text + "\n");
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    LineWindows windows(fd, 0, static_cast<std::int64_t>(c.text.size()));
    std::string joined;
    std::string_view run;
    bool read = true;
    while ((read = windows.Next(run)) && !run.empty()) {
      joined += run;
      if (joined.size() < c.text.size()) {
        EXPECT_TRUE(IsLineEnd(run.back()));
        EXPECT_FALSE(run.back() == '\r' && c.text[joined.size()] == '\n');
      }
    }
    ::close(fd);
    EXPECT_EQ(read, c.whole);
    if (c.whole) {
      EXPECT_EQ(joined, c.text);
    }
  }
}

}  // namespace
}  // namespace quelvaris
