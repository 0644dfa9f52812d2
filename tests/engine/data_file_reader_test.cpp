#include "engine/data_file_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace quelvaris::testing {
namespace {

class DataFileReaderTest : public EngineTest {
 protected:
  ReadResult Read(const std::string& content, int columns, bool header = false, bool tab = false) {
    UseDataFile(content);
    session.request.NoOfCols = static_cast<std::int16_t>(columns);
    Switch(RunSwitch::HeaderRow, header);
    Switch(RunSwitch::TabDelimited, tab);
    return ReadDataFile(ctx);
  }
};

struct ReadCase {
  const char* what;
  std::string content;
  int columns;
  bool header;
  bool tab;
  int rows;
  int missing;
};

TEST_F(DataFileReaderTest, CountsRowsAndMissingObservedValues) {
  const std::vector<ReadCase> cases = {
      {"comma with header", "obs,mod\r\n1,2\r\n3,4\r\n5,6\r\n7,8", 2, true, false, 4, 0},
      {"LF line ends", "1,2\n3,4\n5,6\n", 2, false, false, 3, 0},
      {"CR line ends", "1,2\r3,4\r", 2, false, false, 2, 0},
      {"tab delimited", "1\t2\t3\r\n4\t5\t6\r\n", 3, false, true, 2, 0},
      {"missing observed counted", "-999,5\n5,-999\n-999.0,-999\n", 2, false, false, 3, 2},
      {"fields beyond the columns ignored", "1,2,x,\n3,4,,y\n", 2, false, false, 2, 0},
      {"blanks around numbers", " 1 , 2e1 \n-.5,+3\n", 2, false, false, 2, 0},
      {"a number of 4096 characters", std::string(4095, '0') + "1,2\n", 2, false, false, 1, 0},
      {"lines far longer than their columns",
       "h," + std::string(1 << 20, 'h') + "\r\n1,2," + std::string(1 << 20, ',') + "\r\n3,4," +
           std::string(1 << 20, 'x') + "\n5,6",
       2, true, false, 3, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(Read(c.content, c.columns, c.header, c.tab), ReadResult::Completed);
    EXPECT_EQ(session.counters.RowCount, c.rows);
    EXPECT_EQ(session.counters.MissingCount, c.missing);
    EXPECT_FALSE(session.file.IsOpen());
  }
}

TEST_F(DataFileReaderTest, TheHeaderNamesTheColumns) {
  struct Case {
    const char* what;
    std::string content;
    int columns;
    bool header;
    bool tab;
    std::vector<std::string> names;  // columns 1 to `columns`
  };
  const std::vector<Case> cases = {
      {"tab header", "obs\tlag1\tlag2\n1\t2\t3\n", 3, true, true, {"obs", "lag1", "lag2"}},
      {"blanks dropped, CRLF", " obs , lag 1 \r\n1,2\n", 2, true, false, {"obs", "lag 1"}},
      {"an empty field names nothing", "obs,,lag2\n1,2,3\n", 3, true, false, {"obs", "", "lag2"}},
      {"a short header", "obs\n1,2,3\n", 3, true, false, {"obs", "", ""}},
      {"fields beyond the columns", "obs,a,b,c\n1,2\n", 2, true, false, {"obs", "a"}},
      {"a tab inside a comma header", "obs,a\tb\n1,2\n", 2, true, false, {"obs", "a\tb"}},
      {"no header", "1,2\n3,4\n", 2, false, false, {"", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    session.names[2] = "from an earlier read";
    ASSERT_EQ(Read(c.content, c.columns, c.header, c.tab), ReadResult::Completed);
    for (int col = 1; col <= c.columns; ++col) EXPECT_EQ(session.names[col], c.names[col - 1]);
  }
}

TEST_F(DataFileReaderTest, StoresValuesByRowAndColumn) {
  ASSERT_EQ(Read("1,2,3\n4.5, -6 ,7e2\n", 3), ReadResult::Completed);
  EXPECT_EQ(session.table.Get(1, 1), 1);
  EXPECT_EQ(session.table.Get(1, 3), 3);
  EXPECT_EQ(session.table.Get(2, 1), 4.5);
  EXPECT_EQ(session.table.Get(2, 2), -6);
  EXPECT_EQ(session.table.Get(2, 3), 700);
}

TEST_F(DataFileReaderTest, MissingCodeComesFromTheSettings) {
  settings.GlobalMissingCode = -1;
  ASSERT_EQ(Read("-1,2\n-999,2\n-1e0,3\n", 2), ReadResult::Completed);
  EXPECT_EQ(session.counters.MissingCount, 2);
}

TEST_F(DataFileReaderTest, FailingRowIsCountedAndEarlierFieldsStay) {
  try {
    Read("1,2,3\n4,x,6\n", 3);
    FAIL() << "expected a run-time error";
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.number(), 13);
    EXPECT_EQ(e.detail(), "Line 2, column 2: \"x\" is not a number.");
  }
  EXPECT_EQ(session.counters.RowCount, 2);
  EXPECT_EQ(session.table.Get(2, 1), 4);
  EXPECT_FALSE(session.file.IsOpen());
}

TEST_F(DataFileReaderTest, ColumnCountOutsideTheTableIsASubscriptError) {
  for (int columns : {0, -1, 31}) {
    try {
      Read("1,2\n3,4\n", columns);
      ADD_FAILURE() << columns << " columns were read";
    } catch (const RunTimeError& e) {
      EXPECT_EQ(e.number(), 9) << columns;
    }
    EXPECT_FALSE(session.file.IsOpen());
  }
}

TEST_F(DataFileReaderTest, TenThousandRowsReadAndOneMoreStops) {
  std::string rows;
  for (int i = 1; i <= 10000; ++i) rows += std::to_string(i) + "\t" + std::to_string(-i) + "\n";
  ASSERT_EQ(Read(rows, 2, false, true), ReadResult::Completed);
  EXPECT_EQ(session.counters.RowCount, 10000);
  EXPECT_TRUE(Shown().empty());

  ASSERT_EQ(Read(rows + "10001\t1\n", 2, false, true), ReadResult::TooLarge);
  EXPECT_EQ(session.counters.RowCount, 10000);
  EXPECT_EQ(session.table.Get(10000, 2), -10000);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].title, "Error Message");
  EXPECT_EQ(Shown()[0].text, "Your data file is too large.  It cannot have more than 10,000 rows.");
  EXPECT_EQ(Shown()[0].icon, MessageIcon::Error);
  EXPECT_FALSE(session.file.IsOpen());
}

// Every failure of the reading step, seen as the user sees it: one error box with the number's
// text and a detail line saying where to look; the data file closed so it opens again at once.
struct FailureCase {
  const char* what;
  std::string content;  // written to data.txt unless `path` is set
  std::string path;     // relative to the temporary folder; "." names the folder itself
  std::string columns;
  bool header;
  bool tab;
  std::string specific;
  std::string detail;  // "@" stands for "Data file: " + the path
};

TEST_F(DataFileReaderTest, EveryFailureGivesItsNumberTextAndDetail) {
  const std::string too_large_for_program = "File too large for program to handle.";
  const std::string long_field(50, 'z');
  const std::vector<FailureCase> cases = {
      {"missing file", "", "nope.txt", "2", false, false, "File not found.", "@"},
      {"missing directory", "", "no-such-dir/data.txt", "2", false, false,
       "A file could not be found.", "@"},
      {"a directory", "", ".", "2", false, false,
       "Unable to write to drive.\r\nPlease check default directory settings.", "@"},
      {"empty file", "", "", "2", false, false, "Input past end of file.", "@"},
      {"header only", "obs,mod\r\n", "", "2", true, false, "Input past end of file.", "@"},
      {"short row", "1,2\r\n3\r\n", "", "2", false, false, too_large_for_program,
       "Line 2 has fewer than 2 fields."},
      // "1,,3" splits into "1" and ",3"; the second field fails before the count does.
      {"adjacent delimiters", "1,,3\n", "", "3", false, false, "",
       "Line 1, column 2: \",3\" is not a number."},
      {"empty trailing line", "obs,mod\n1,2\n3,4\n\n", "", "2", true, false, too_large_for_program,
       "Line 4 has fewer than 2 fields."},
      {"not a number", "1,2\n3,abc\n", "", "2", false, false, "",
       "Line 2, column 2: \"abc\" is not a number."},
      {"header read as data", "obs,mod\n1,2\n", "", "2", false, false, "",
       "Line 1, column 1: \"obs\" is not a number."},
      {"long field cut", "1," + long_field + "\n", "", "2", false, false, "",
       "Line 1, column 2: \"" + std::string(40, 'z') + "...\" is not a number."},
      {"a field longer than any number", "1," + std::string(4096, '0') + "1\n", "", "2", false,
       false, "", "Line 1, column 2: \"" + std::string(40, '0') + "...\" is not a number."},
      {"control characters shown as escapes", "1,\x1b[2J\x7f\\\t5\r\n", "", "2", false, false, "",
       "Line 1, column 2: \"\\x1b[2J\\x7f\\\\\\t5\" is not a number."},
      {"escapes of a cut field", "1," + std::string(39, 'a') + "\x1b" + "bcd\n", "", "2", false,
       false, "", "Line 1, column 2: \"" + std::string(39, 'a') + "\\x1b...\" is not a number."},
      {"comma file read as tab-delimited", "obs,mod\n1,2\n3,4\n", "", "2", true, true, "",
       "Line 2, column 1: \"1,2\" is not a number."},
      {"decimal comma", "1,5\t2\n", "", "2", false, true, "",
       "Line 1, column 1: \"1,5\" is not a number."},
      {"more than 30 columns", "1,2\n", "", "31", false, false, too_large_for_program, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    host.messages.shown.clear();
    std::string path;
    if (c.path.empty()) {
      path = UseDataFile(c.content);
    } else {
      path = c.path == "." ? dir.path().string() : (dir.path() / c.path).string();
      session.request.DataFilePath = path;
      session.request.DataFileName = "data.txt";
    }
    Box(RunBox::NoOfColsText, c.columns);
    Switch(RunSwitch::HeaderRow, c.header);
    Switch(RunSwitch::TabDelimited, c.tab);

    RunAnalysis(ctx, reports);

    const std::string detail = c.detail == "@" ? "Data file: " + path : c.detail;
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].title, "Error Message");
    EXPECT_EQ(Shown()[0].icon, MessageIcon::Error);
    EXPECT_EQ(Shown()[0].text, ErrorBox(c.specific, detail));
    EXPECT_TRUE(reports.calls.empty());
    EXPECT_FALSE(session.file.IsOpen());
    if (std::filesystem::is_regular_file(path)) {
      EXPECT_NO_THROW(session.file.OpenForInput(path));  // never "File already open."
      session.file.Close();
    }
  }
}

TEST_F(DataFileReaderTest, UnreadableFileIsPermissionDenied) {
  const std::string path = UseDataFile("1,2\n3,4\n5,6\n7,8\n");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  if (std::FILE* f = std::fopen(path.c_str(), "r")) {
    std::fclose(f);
    GTEST_SKIP() << "running with privileges that read any file";
  }
  RunAnalysis(ctx, reports);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].text,
            ErrorBox("Permission denied - file could be open.", "Data file: " + path));
  EXPECT_FALSE(session.file.IsOpen());
}

}  // namespace
}  // namespace quelvaris::testing
