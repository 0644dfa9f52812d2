// A file read in byte ranges on threads gives the table, or the error, of the same file read
// one line at a time: every range boundary, fallback and fault placed in the file's second half.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/batch_reader.h"
#include "support/test_support.h"

namespace quelvaris {
namespace {

// `rows` lines of three numbers each ending in `eol`, with `odd` as line `at` (from 1).
std::string Body(int rows, const std::string& eol, int at = 0, const std::string& odd = "") {
  std::string text = "obs\tm1\tm2" + eol;
  for (int r = 1; r <= rows; ++r) {
    if (r == at) {
      text += odd;
      continue;
    }
    text += std::to_string(r % 97) + "." + std::to_string(r % 10) + "\t" +
            std::to_string(r % 13 + 1) + "\t" + (r % 50 == 0 ? "NA" : std::to_string(r)) + eol;
  }
  return text;
}

std::string European(std::string text) {
  for (char& c : text) c = c == '\t' ? ';' : c == '.' ? ',' : c;
  return text;
}

std::string Outcome(const std::string& path, BatchReaderOptions options, int threads) {
  options.threads = threads;
  options.range_bytes = 1;
  try {
    const BatchTable t = ReadBatchFile(path, options);
    std::string out = std::to_string(t.rows) + " rows, wide " + std::to_string(t.wide_line) + "\n";
    for (std::size_t r = 0; r < t.observed.size(); ++r) {
      out += std::to_string(t.observed[r]);
      for (const auto& m : t.models) out += " " + std::to_string(m[r]);
      if (!t.times.empty()) out += " " + t.times[r] + "@" + std::to_string(t.time_lines[r]);
      out += "\n";
    }
    return out;
  } catch (const BatchReadError& e) {
    return "error: " + e.message;
  }
}

TEST(BatchReaderRanges, EveryThreadCountGivesTheSequentialTableOrError) {
  struct Case {
    const char* name;
    std::string text;
    BatchReaderOptions options;
  };
  BatchReaderOptions plain;
  BatchReaderOptions two_rows = plain;
  two_rows.max_rows = 2500;
  BatchReaderOptions time = plain;
  time.time = "m1";
  const std::string long_field(5000, '7');
  const std::vector<Case> cases = {
      {"CRLF", Body(3000, "\r\n"), plain},
      {"LF, the last line without its end", Body(3000, "\n") + "1\t2\t3", plain},
      {"old Mac line ends", Body(3000, "\r"), plain},
      {"blank lines and a wide line", Body(3000, "\n", 2100, "\n  \t\n4\t5\t6\t7\n"), plain},
      {"runs of blanks", Body(3000, "  \n", 2000, "  1   2 3  \n"),
       [] {
         BatchReaderOptions o;
         o.delimiter = ' ';
         return o;
       }()},
      {"a quote late in the file", Body(3000, "\n", 2600, "\"4\"\t5\t\"6\"\n"), plain},
      {"a value that is no number", Body(3000, "\n", 1900, "1\tx1\t2\n"), plain},
      {"two bad lines, the first said", Body(3000, "\n", 2900, "1\t2\n") + "x\t1\t1\n", plain},
      {"too few fields", Body(3000, "\r\n", 2200, "1\t2\r\n"), plain},
      {"a NUL byte", Body(3000, "\n", 2400, std::string("1\t2\0\t3\n", 7)), plain},
      {"a field too long", Body(3000, "\n", 2300, "1\t" + long_field + "\t3\n"), plain},
      {"more rows than allowed", Body(3000, "\n"), two_rows},
      {"a time column", Body(3000, "\n", 1700, "1\t 9 \t3\n"), time},
      {"semicolons and decimal commas", European(Body(3000, "\n", 2800, "1,5;;7\n")), plain},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir dir;
    const std::string path = dir.Write("data.txt", c.text);
    const std::string sequential = Outcome(path, c.options, 1);
    ASSERT_GT(sequential.size(), 20u);
    EXPECT_EQ(Outcome(path, c.options, 2), sequential);
    EXPECT_EQ(Outcome(path, c.options, 5), sequential);
  }
}

}  // namespace
}  // namespace quelvaris
