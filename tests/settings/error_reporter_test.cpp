#include "settings/error_reporter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace quelvaris {
namespace {

std::vector<std::string> SplitCrlf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t stop = text.find("\r\n", start);
    lines.push_back(text.substr(start, stop - start));
    if (stop == std::string::npos) return lines;
    start = stop + 2;
  }
}

TEST(ErrorReporter, ComposesTheGeneralSentenceTheSpecificTextAndTheDetail) {
  const std::string general =
      "Sorry - an error has occurred - please check all selections and try again.";
  struct Case {
    int number;
    std::vector<std::string> specific;
  };
  const Case cases[] = {
      {5, {"Overflow in calculation."}},
      {6, {"Overflow has occurred."}},
      {9, {"File too large for program to handle."}},
      {11, {"Division by zero."}},
      {53, {"File not found."}},
      {55, {"File already open."}},
      {58, {"File already exists."}},
      {61, {"Disk full."}},
      {62, {"Input past end of file."}},
      {68, {"Drive is unavailable."}},
      {70, {"Permission denied - file could be open."}},
      {71, {"Disk not ready."}},
      {75, {"Unable to write to drive.", "Please check default directory settings."}},
      {76, {"A file could not be found."}},
      {1306, {"Matrix is singular and cannot be inverted."}},
      {7, {""}},
      {13, {""}},
      {0, {""}},
      {-1, {""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    std::vector<std::string> expected = {general};
    expected.insert(expected.end(), c.specific.begin(), c.specific.end());
    expected.push_back("");
    EXPECT_EQ(SplitCrlf(ComposeErrorMessage(c.number, "")), expected);
  }
  EXPECT_EQ(ComposeErrorMessage(11, ""), general + "\r\nDivision by zero.\r\n");
  EXPECT_EQ(ComposeErrorMessage(53, "Data file: /d/x.txt"),
            general + "\r\nFile not found.\r\nData file: /d/x.txt");
  // A path keeps its backslashes; its control characters never reach the box raw.
  EXPECT_EQ(ComposeErrorMessage(53, "Data file: C:\\d\x1b[2J\r\nx.txt"),
            general + "\r\nFile not found.\r\nData file: C:\\d\\x1b[2J\\r\\nx.txt");
}

TEST(ErrorReporter, ShowsOneErrorBox) {
  testing::RecordingSink sink;
  ErrorReporter(sink, 6, "Column 3.");
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].title, "Error Message");
  EXPECT_EQ(sink.shown[0].icon, MessageIcon::Error);
  EXPECT_EQ(sink.shown[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(sink.shown[0].text, ComposeErrorMessage(6, "Column 3."));
}

}  // namespace
}  // namespace quelvaris
