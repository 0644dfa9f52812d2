#include "settings/settings_checks.h"

#include <gtest/gtest.h>

#include "settings/figure_format.h"

namespace quelvaris {
namespace {

TEST(SettingsChecks, Decimals) {
  const std::string kNotInteger = "Required decimals must be an integer value.";
  const std::string kRange = "Required decimals must be an integer value between 0 and 6.";
  struct Case {
    const char* text;
    bool accepted;
    int decimals;  // after the check; 3 before it
    const char* format;
    std::string message;
    const char* box;
  };
  const Case cases[] = {
      {"0", true, 0, "0", "", "0"},
      {"6", true, 6, "0.000000", "", "6"},
      {"6.9", true, 6, "0.000000", "", "6.9"},
      {"2.5", true, 2, "0.00", "", "2.5"},
      {"-0", true, 0, "0", "", "-0"},
      {" 4 ", true, 4, "0.0000", "", " 4 "},
      {"7", false, 3, "0.000", kRange, "3"},
      {"-0.5", false, 3, "0.000", kRange, "3"},
      {"-1", false, 3, "0.000", kRange, "3"},
      {"1e9", false, 3, "0.000", kRange, "3"},
      {"abc", false, 3, "0.000", kNotInteger, "3"},
      {"", false, 3, "0.000", kNotInteger, "3"},
      {"2,5", false, 3, "0.000", kNotInteger, "3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    GlobalSettings settings;
    settings.DecimalsReq = 3;
    settings.ResultFormat = "0.000";
    const SettingCheck r = CheckDecimals(c.text, settings);
    EXPECT_EQ(r.accepted, c.accepted);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.box_text, c.box);
    EXPECT_EQ(settings.DecimalsReq, c.decimals);
    EXPECT_EQ(settings.ResultFormat, c.format);
  }
}

TEST(SettingsChecks, MissingCode) {
  struct Case {
    const char* text;
    bool accepted;
    double code;
    const char* box;
  };
  const Case cases[] = {{"-99", true, -99, "-99"},   {"0.5", true, 0.5, "0.5"},
                        {"1e3", true, 1000, "1e3"},  {"abc", false, -99.5, "-99.5"},
                        {"", false, -99.5, "-99.5"}, {"nan", false, -99.5, "-99.5"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    GlobalSettings settings;
    settings.GlobalMissingCode = -99.5;
    const SettingCheck r = CheckMissingCode(c.text, settings);
    EXPECT_EQ(r.accepted, c.accepted);
    EXPECT_EQ(r.message, c.accepted ? "" : "Missing data identifier must be a number.");
    EXPECT_EQ(r.box_text, c.box);
    EXPECT_EQ(settings.GlobalMissingCode, c.code);
  }
}

TEST(FigureFormat, FollowsThePatternsDecimals) {
  for (int d = 0; d <= 6; ++d) {
    const std::string pattern = FormatForDecimals(d, "unchanged");
    EXPECT_EQ(pattern, d == 0 ? "0" : "0." + std::string(static_cast<std::size_t>(d), '0'));
    const std::string text = FormatFigure(-2.0 / 3, pattern);
    EXPECT_EQ(text,
              d == 0 ? "-1" : "-0." + std::string(static_cast<std::size_t>(d - 1), '6') + "7");
  }
  EXPECT_EQ(FormatForDecimals(7, "0.00"), "0.00");
  EXPECT_EQ(FormatForDecimals(-1, "0.0"), "0.0");
  EXPECT_EQ(FormatFigure(2.675, "0.00"), "2.68");
  EXPECT_EQ(FormatCount(12), "12");
  EXPECT_EQ(FormatCount(0), "0");
}

}  // namespace
}  // namespace quelvaris
