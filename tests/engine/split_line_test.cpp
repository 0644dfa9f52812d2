#include "engine/split_line.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace quelvaris {
namespace {

struct SplitCase {
  std::string line;
  char delimiter;
  std::vector<std::string> fields;
};

TEST(SplitLine, FollowsTheDataFileRules) {
  const std::vector<SplitCase> cases = {
      {"1.5,2.25,3", ',', {"1.5", "2.25", "3"}},
      {"1.5,2.25,", ',', {"1.5", "2.25"}},  // a final delimiter adds no field
      {"1,,3", ',', {"1", ",3"}},           // adjacent delimiters: no empty field
      {",2,3", ',', {",2", "3"}},           // a leading delimiter belongs to the first field
      {"7", ',', {"7"}},
      {"", ',', {}},
      {",", ',', {","}},
      {",,", ',', {","}},
      {"1\t2\t3", '\t', {"1", "2", "3"}},
      {"1,2\t3", '\t', {"1,2", "3"}},  // the other delimiter is ordinary text
      {"1,2,3", '\t', {"1,2,3"}},
      {" 1 \t 2 ", '\t', {" 1 ", " 2 "}},  // blanks are kept for the number conversion
  };
  for (const auto& c : cases) {
    std::vector<std::string_view> got = SplitLine(c.line, c.delimiter);
    std::vector<std::string> texts(got.begin(), got.end());
    EXPECT_EQ(texts, c.fields) << "line \"" << c.line << "\"";
  }
}

TEST(SplitLine, FieldsAreViewsIntoTheLineAndSplittingStopsWhenTheListIsFull) {
  const std::string line = "10,20,,30,40";
  std::array<std::string_view, 3> fields;
  ASSERT_EQ(SplitLine(line, ',', fields), 3u);
  EXPECT_EQ(fields[1].data(), line.data() + 3);
  EXPECT_EQ(fields[2], ",30");  // the same fields as a full split, up to where it stops
  EXPECT_EQ(SplitLine("4,5", ',', fields), 2u);
  EXPECT_EQ(SplitLine("", ',', fields), 0u);
}

}  // namespace
}  // namespace quelvaris
