#include "engine/time_stamp.h"

#include <gtest/gtest.h>

#include <date/date.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/time_blocks.h"
#include "engine/time_column.h"
#include "engine/time_window.h"

namespace quelvaris::testing {
namespace {

std::optional<std::string> Read(const std::string& text, const std::string& layout = {}) {
  TimeStampReader reader(layout);
  const std::optional<TimeStamp> t = reader.Read(text);
  if (!t) return std::nullopt;
  return TimeStampText(*t, false);
}

// A stamp's text is the calendar library's, as a date and as a date and time: every day of
// the decades around 1900, 2000 and 2100 at three times of day, and the years of other
// lengths around the four-digit ones.
TEST(TimeStampTest, StampTextsAreTheCalendarLibrarysTexts) {
  std::vector<date::sys_days> days;
  for (const int century : {1900, 2000, 2100}) {
    for (date::sys_days d = date::year{century - 4} / 1 / 1; d <= date::year{century + 5} / 12 / 31;
         d += date::days{1}) {
      days.push_back(d);
    }
  }
  for (const int year : {-1, 0, 999, 1000, 9999, 10000}) {
    days.push_back(date::year{year} / 1 / 1);
    days.push_back(date::year{year} / 12 / 31);
  }
  for (const date::sys_days d : days) {
    for (const int s : {0, 6 * 3600 + 7 * 60 + 8, 86399}) {
      const TimeStamp t = d + std::chrono::seconds{s};
      EXPECT_EQ(TimeStampText(t, true), date::format("%F", d));
      EXPECT_EQ(TimeStampText(t, false), date::format("%FT%T", t));
    }
  }
}

// A plain ISO date is read straight from its digits; the calendar library, given the same
// layout, must read every text alike: each day of the decades around 1900, 2000 and 2100 (leap
// years and their exceptions), the ends of the four-digit years and texts shaped like days that
// do not exist.
TEST(TimeStampTest, PlainDatesReadAsTheCalendarLibraryReadsThem) {
  std::vector<std::string> texts = {"0000-01-01", "9999-12-31", "1990-00-10", "1990-10-00",
                                    "1990-04-31", "2100-02-29", "2000-02-30", "1990-99-99"};
  for (const int century : {1900, 2000, 2100}) {
    for (date::sys_days d = date::year{century - 4} / 1 / 1; d <= date::year{century + 5} / 12 / 31;
         d += date::days{1}) {
      texts.push_back(date::format("%F", d));
    }
  }
  for (const std::string& text : texts) {
    EXPECT_EQ(Read(text), Read(text, "%Y-%m-%d")) << text;
  }
}

TEST(TimeStampTest, ReadsIsoFormsAndLayoutsAndRejectsWhatIsNoDay) {
  struct Case {
    const char* text;
    const char* layout;
    std::optional<std::string> expected;
  };
  const std::vector<Case> cases{
      {"1990-10-01", "", "1990-10-01T00:00:00"},
      {" 1990-10-01\t", "", "1990-10-01T00:00:00"},
      {"1990-10-01T06:00", "", "1990-10-01T06:00:00"},
      {"1990-10-01 06:00:00", "", "1990-10-01T06:00:00"},
      {"1990-10-01T06:30:15Z", "", "1990-10-01T06:30:15"},
      {"2000-02-29", "", "2000-02-29T00:00:00"},
      {"1900-02-29", "", std::nullopt},  // not a leap year
      {"1990-02-30", "", std::nullopt},
      {"1990-13-01", "", std::nullopt},
      {"1990-10-01T25:00", "", std::nullopt},
      {"1990-10-01Z", "", std::nullopt},
      {"1990-10-01x", "", std::nullopt},
      {"90-1-1", "", std::nullopt},  // a two-digit year is no ISO year
      {"1990/10/01", "", std::nullopt},
      {"", "", std::nullopt},
      {"01/02/1990", "%d/%m/%Y", "1990-02-01T00:00:00"},
      {"31/02/1990", "%d/%m/%Y", std::nullopt},
      {"01/02/1990 12", "%d/%m/%Y", std::nullopt},
      {"1990.10.01 06h", "%Y.%m.%d %Hh", "1990-10-01T06:00:00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.text, c.layout), c.expected) << c.text << " with " << c.layout;
  }
  EXPECT_TRUE(TimeStampReader().DateOnly("1990-10-01"));
  EXPECT_FALSE(TimeStampReader().DateOnly("1990-10-01T00:00"));
  EXPECT_TRUE(TimeStampReader("%d/%m/%Y").DateOnly("01/02/1990"));
  EXPECT_FALSE(TimeStampReader("%d/%m/%Y %H").DateOnly("01/02/1990 06"));
}

TEST(TimeStampTest, ColumnNeedsStrictlyIncreasingStampsAndNamesTheLine) {
  struct Case {
    std::vector<std::string> texts;
    std::string message;  // empty: the column reads
  };
  const std::vector<Case> cases{
      {{"1990-01-01", "1990-01-02", "1990-03-01"}, ""},
      {{"1990-01-01", "1990-01-01"},
       "f.txt: line 11: \"1990-01-01\" repeats the time stamp on "
       "line 10: time stamps must increase."},
      {{"1990-01-02", "1990-01-01"},
       "f.txt: line 11: \"1990-01-01\" is earlier than the time "
       "stamp on line 10: time stamps must increase."},
      {{"1990-01-01", "1990-01-02", "soon"},
       "f.txt: line 12: \"soon\" is not a time stamp (ISO 8601 date or date-time)."},
  };
  const std::vector<std::int64_t> lines{10, 11, 12};
  for (const Case& c : cases) {
    TimeStampReader reader;
    try {
      const auto stamps = TimeColumnOf(c.texts, lines, reader, "f.txt");
      EXPECT_EQ(c.message, "");
      EXPECT_EQ(stamps.size(), c.texts.size());
    } catch (const TimeStampError& e) {
      EXPECT_EQ(e.what(), c.message);
      EXPECT_EQ(e.file(), "f.txt");
      EXPECT_EQ(e.text(), c.texts[static_cast<std::size_t>(e.line() - 10)]);
    }
  }
}

TEST(TimeStampTest, WindowIsInclusiveAndSkipsWarmUp) {
  TimeStampReader reader;
  std::vector<TimeStamp> stamps;
  for (const char* t : {"1990-01-01", "1990-01-02T12:00", "1990-01-03", "1990-01-05"}) {
    stamps.push_back(*reader.Read(t));
  }
  const auto at = [&reader](const char* t) { return *reader.Read(t); };
  struct Case {
    TimeWindow window;
    std::size_t first;
    std::size_t count;
  };
  const std::vector<Case> cases{
      {{}, 0, 4},
      {{at("1990-01-02"), at("1990-01-03"), 0}, 1, 2},
      {{at("1990-01-02"), EndOfDay(at("1990-01-02")), 0}, 1, 1},
      {{at("1990-01-02"), at("1990-01-02"), 0}, 1, 0},
      {{std::nullopt, std::nullopt, 3}, 3, 1},
      {{at("1990-01-02"), std::nullopt, 5}, 4, 0},
      {{at("1991-01-01"), std::nullopt, 0}, 4, 0},
  };
  for (const Case& c : cases) {
    const RowRange r = RowsInWindow(stamps, c.window);
    EXPECT_EQ(r.first, c.first);
    EXPECT_EQ(r.count, c.count);
  }
}

// Every `step` seconds from 1999-12-31, `count` stamps, with a gap of `gap` steps after the 10th.
std::vector<TimeStamp> Steps(std::int64_t step, std::size_t count, std::int64_t gap = 0) {
  std::vector<TimeStamp> t;
  TimeStamp at = std::chrono::sys_days{std::chrono::year{1999} / 12 / 31};
  for (std::size_t i = 0; i < count; ++i) {
    t.push_back(at);
    at += std::chrono::seconds(step * (i == 9 ? gap + 1 : 1));
  }
  return t;
}

TEST(TimeStampTest, YearsOfStepsAndTheirStarts) {
  EXPECT_EQ(StepsInYear(Steps(86400, 800)), 365);
  EXPECT_EQ(StepsInYear(Steps(3600, 30)), 8766);
  EXPECT_EQ(StepsInYear(Steps(86400, 800, 10)), 365);          // a gap leaves it regular
  EXPECT_EQ(StepsInYear(Steps(2 * 86400, 30)), std::nullopt);  // longer than a day
  std::vector<TimeStamp> uneven = Steps(86400, 20);
  for (std::size_t i = 1; i < uneven.size(); i += 2) uneven[i] += std::chrono::hours(1);
  EXPECT_EQ(StepsInYear(uneven), std::nullopt);
  EXPECT_EQ(DefaultBlockLengthOver(Steps(86400, 800)), 365);
  EXPECT_EQ(DefaultBlockLengthOver(Steps(86400, 700)), 9);  // under two years: the cube root
  // 1999-12-31, then 2000 (a leap year) from row 1, 2001 from row 367; water years start on
  // 1 October: WY2001 from row 275.
  EXPECT_EQ(YearStarts(Steps(86400, 800), 1), (std::vector<std::int64_t>{0, 1, 367, 732}));
  EXPECT_EQ(YearStarts(Steps(86400, 800), 10), (std::vector<std::int64_t>{0, 275, 640}));
}

}  // namespace
}  // namespace quelvaris::testing
