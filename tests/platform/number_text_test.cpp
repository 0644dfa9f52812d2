#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "platform/run_time_error.h"

namespace quelvaris {
namespace {

TEST(NumberText, AcceptsTheNumberFormsAndNothingElse) {
  struct Case {
    const char* text;
    bool number;
    double value;
  };
  const Case cases[] = {
      {"0", true, 0},          {"12", true, 12},       {"-3.25", true, -3.25}, {"+7", true, 7},
      {".5", true, 0.5},       {"-.5", true, -0.5},    {"5.", true, 5},        {"1e3", true, 1000},
      {"1.5E-2", true, 0.015}, {"2e+2", true, 200},    {"  42\t", true, 42},   {"\t-1 ", true, -1},
      {"1e-400", true, 0},     {"1e308", true, 1e308}, {"", false, 0},         {"   ", false, 0},
      {"-", false, 0},         {"+", false, 0},        {".", false, 0},        {"1,2", false, 0},
      {"1 2", false, 0},       {"nan", false, 0},      {"inf", false, 0},      {"-inf", false, 0},
      {"0x1A", false, 0},      {"1e400", false, 0},    {"-1e400", false, 0},   {"1e", false, 0},
      {"1e+", false, 0},       {"e5", false, 0},       {"12abc", false, 0},    {"--1", false, 0},
      {"+-1", false, 0},       {"1.2.3", false, 0},    {"1,5", false, 0},      {"\n1", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("text: \"") + c.text + "\"");
    EXPECT_EQ(IsNumber(c.text), c.number);
    const auto parsed = ParseNumber(c.text);
    ASSERT_EQ(parsed.has_value(), c.number);
    if (c.number) {
      EXPECT_EQ(*parsed, c.value);
    }
  }
}

// Plain decimals take a short path; it must give the very double the full conversion gives,
// bit for bit, at every length of digits around the limits of that path.
TEST(NumberText, PlainDecimalsReadToTheSameDoubleAsTheFullConversion) {
  std::mt19937_64 rng(42);
  const auto full = [](const std::string& text) {
    double value = 0;
    const char* begin = text.data() + (text[0] == '-' ? 1 : 0);
    std::from_chars(begin, text.data() + text.size(), value);
    return text[0] == '-' ? -value : value;
  };
  const std::string fixed[] = {"9007199254740992",
                               "9007199254740993",
                               "0.1",
                               "0.3",
                               "2.675",
                               "-0",
                               "-0.000",
                               "123456789012345678",
                               "1234567890123456789",
                               "0.0000000000000000000001",
                               "0.00000000000000000000001",
                               "4503599627370497.5",
                               "1.7976931348623157"};
  for (const std::string& text : fixed) {
    SCOPED_TRACE(text);
    const std::optional<double> parsed = ParseNumber(text);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(std::bit_cast<std::uint64_t>(*parsed), std::bit_cast<std::uint64_t>(full(text)));
  }
  for (int i = 0; i < 200000; ++i) {
    std::string text = rng() % 2 ? "-" : "";
    const int int_digits = static_cast<int>(rng() % 18);
    const int frac_digits = static_cast<int>(rng() % 25);
    for (int d = 0; d < int_digits; ++d) text += static_cast<char>('0' + rng() % 10);
    if (int_digits == 0) text += '0';
    if (frac_digits > 0) text += '.';
    for (int d = 0; d < frac_digits; ++d) text += static_cast<char>('0' + rng() % 10);
    const std::optional<double> parsed = ParseNumber(text);
    ASSERT_TRUE(parsed.has_value()) << text;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(*parsed), std::bit_cast<std::uint64_t>(full(text)))
        << text;
  }
}

TEST(NumberText, LeadingNumberTakesTheLongestNumberPrefix) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {{"12abc", 12}, {"1.5e", 1.5}, {"1.5e+", 1.5}, {"-", 0},
                        {"abc", 0},    {"  -4x", -4}, {"", 0},        {"2e3z", 2000},
                        {".5.5", 0.5}, {"+3 4", 3},   {"1,5", 1},     {"x12", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(LeadingNumber(c.text), c.value);
  }
  try {
    LeadingNumber("1e999abc");
    FAIL() << "a leading number beyond a double must overflow";
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.number(), err::kOverflow);
  }
}

TEST(NumberText, Rounding) {
  struct Case {
    double in, half_even, down;
  };
  const Case cases[] = {{2.5, 2, 2},    {3.5, 4, 3},    {-2.5, -2, -3}, {1.6, 2, 1},
                        {2.49, 2, 2},   {-0.5, -0, -1}, {3.7, 4, 3},    {0, 0, 0},
                        {30.4, 30, 30}, {-1.5, -2, -2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(RoundHalfEven(c.in), c.half_even);
    EXPECT_EQ(RoundDown(c.in), c.down);
  }
}

TEST(NumberText, FormatFixedRoundsTheShortestTextHalfAwayFromZero) {
  struct Case {
    double value;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {2.675, 2, "2.68"},
      {0.125, 2, "0.13"},
      {-0.25, 2, "-0.25"},
      {-0.001, 2, "0.00"},
      {1.5, 0, "2"},
      {0.5, 0, "1"},
      {-0.5, 0, "-1"},
      {2.5, 0, "3"},
      {-0.0, 2, "0.00"},
      {0, 0, "0"},
      {9.995, 2, "10.00"},
      {-9.9999, 3, "-10.000"},
      {999.5, 0, "1000"},
      {0.000004, 6, "0.000004"},
      {0.0000005, 6, "0.000001"},
      {-0.0000004, 6, "0.000000"},
      {1e-20, 2, "0.00"},
      {123456789.125, 2, "123456789.13"},
      {-999, 2, "-999.00"},
      {1.005, 2, "1.01"},
      {0.05, 1, "0.1"},
      {0.045, 1, "0.0"},
      {-2.5, 0, "-3"},
      {1e21, 0, "1000000000000000000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.text);
  }
}

TEST(NumberText, FormatFixedWritesEveryDecimalsCount) {
  const char* expected[] = {"3", "3.1", "3.14", "3.142", "3.1416", "3.14159", "3.141593"};
  const char* negative[] = {"-3", "-3.1", "-3.14", "-3.142", "-3.1416", "-3.14159", "-3.141593"};
  for (int d = 0; d <= 6; ++d) {
    EXPECT_EQ(FormatFixed(3.14159265, d), expected[d]);
    EXPECT_EQ(FormatFixed(-3.14159265, d), negative[d]);
  }
}

TEST(NumberText, FormatFixedWritesHugeValuesInFull) {
  const std::string text = FormatFixed(1e300, 2);
  EXPECT_EQ(text, "1" + std::string(300, '0') + ".00");
  const std::string max = FormatFixed(-std::numeric_limits<double>::max(), 6);
  EXPECT_EQ(max.substr(0, 5), "-1797");
  EXPECT_EQ(max.size(), 1 + 309 + 7u);
  EXPECT_EQ(max.substr(max.size() - 7), ".000000");
}

TEST(NumberText, FormatGeneralIsPlainAndReadsBack) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {{1.5, "1.5"},
                        {-999, "-999"},
                        {9999, "9999"},
                        {0.1, "0.1"},
                        {0, "0"},
                        {-0.0, "0"},
                        {2, "2"},
                        {1.0 / 3, "0.333333333333333"},
                        {123456789012345, "123456789012345"},
                        {0.000001, "0.000001"},
                        {1e20, "1E+20"},
                        {-2.5e-9, "-2.5E-09"},
                        {1234567.125, "1234567.125"},
                        // 15 digits rounded up would pass the largest double: cut off instead
                        {1.7976931348623157e308, "1.79769313486231E+308"},
                        {-1.7976931348623157e308, "-1.79769313486231E+308"},
                        {1.7976931348623e308, "1.7976931348623E+308"},
                        {9.99999999999999999e307, "1E+308"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatGeneral(c.value), c.text);
    EXPECT_TRUE(IsNumber(FormatGeneral(c.value)));
  }
  EXPECT_EQ(FormatGeneral(*ParseNumber("1.50")), "1.5");
}

}  // namespace
}  // namespace quelvaris
