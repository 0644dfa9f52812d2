#include "reports/machine_number.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/number_text.h"

namespace quelvaris {
namespace {

// A count is written as the fixed form with no decimals writes it, whether it takes the
// short way of whole numbers or not.
TEST(MachineNumberTest, CountsAreWrittenAsTheirFixedFormWithNoDecimals) {
  for (const double v : {0.0, -0.0, 1.0, 17.0, -3.0, 2.5, -2.5, 1e15, 123456789012345.0,
                         9007199254740991.0, 9007199254740992.0, 1e300}) {
    std::string out = "x";
    EXPECT_TRUE(AppendFigure({v, true}, true, -1, out)) << v;
    EXPECT_EQ(out, "x" + FormatFixed(v, 0)) << v;
  }
}

// Written in place, a figure has AppendFigure's text, or is left to it (the report's decimals,
// a count beyond 2^53); an undefined or infinite figure writes nothing.
TEST(MachineNumberTest, FiguresWrittenInPlaceAreTheAppendedTexts) {
  struct Case {
    FigureValue figure;
    bool is_count;
    int decimals;
    bool in_place;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Case> cases = {
      {{0.1, true}, false, -1, true},        {{-2.2250738585072014e-308, true}, false, -1, true},
      {{1e20, true}, false, -1, true},       {{-1.7976931348623157e308, true}, false, -1, true},
      {{10867, true}, true, -1, true},       {{-0.0, true}, true, 3, true},
      {{2.5, true}, true, -1, false},        {{1e300, true}, true, -1, false},
      {{23.0212402, true}, false, 3, false}, {{5, false}, false, -1, true},
      {{inf, true}, false, -1, true},        {{std::nan(""), true}, true, -1, true},
  };
  for (const Case& c : cases) {
    std::string appended;
    const bool defined = AppendFigure(c.figure, c.is_count, c.decimals, appended);
    char room[kFigureRoom];
    const char* end = WriteFigure(c.figure, c.is_count, c.decimals, room);
    ASSERT_EQ(end != nullptr, c.in_place) << c.figure.value;
    if (end != nullptr) {
      EXPECT_EQ(std::string(room, static_cast<std::size_t>(end - room)), appended)
          << c.figure.value;
    }
    EXPECT_EQ(defined, !appended.empty()) << c.figure.value;
  }
}

// A figure in full precision is the general shortest conversion's text, byte for byte, over
// the edges of its layout (powers of ten, where the scientific form is shorter; the longest
// fixed forms; the ends of the doubles) and over many values of every size, of few decimals
// and of any bits.
TEST(MachineNumberTest, FullPrecisionFiguresAreTheShortestConversionsText) {
  std::vector<double> values = {1,
                                10,
                                1e4,
                                1e5,
                                12e5,
                                1234e6,
                                0.001,
                                1e-4,
                                1.2e-4,
                                1.5e-5,
                                1e-5,
                                1e-6,
                                1.5e-6,
                                9.9999e-6,
                                0.3,
                                123.4567,
                                4503599627.37,
                                4503599627.370496,
                                999999.9999995,
                                0.9999995,
                                5.716999999999999,
                                1e13,
                                9999999999999.9,
                                123456789012,
                                1e16,
                                1e21,
                                1e22,
                                1e23,
                                123456789012345680000.0,
                                5e-324,
                                2.2250738585072014e-308,
                                1.7976931348623157e308};
  std::uint64_t state = 99;
  for (int i = 0; i < 300000; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    double v = static_cast<double>((state >> 20) % 100000000000ULL >> (state >> 58)) /
               std::pow(10.0, static_cast<double>((state >> 8) % 9));
    if (i % 2 == 1)
      v = std::ldexp(static_cast<double>(state >> 11), static_cast<int>(state % 150) - 150);
    values.push_back(v);
    // Any finite double: every exponent and every digit count.
    const double any = std::bit_cast<double>((state ^ (state >> 31)) >> 1);
    if (std::isfinite(any)) values.push_back(any);
  }
  for (const double v : values) {
    for (const double signed_v : {v, -v}) {
      char expected[kFigureRoom];
      char* expected_end = std::to_chars(expected, expected + kFigureRoom, signed_v).ptr;
      std::string out;
      ASSERT_TRUE(AppendFigure({signed_v, true}, false, -1, out));
      ASSERT_EQ(out, std::string(expected, expected_end)) << signed_v;
    }
  }
}

// A column's lists give back every figure as it was filled, group by group; an undefined one
// (whatever value it carried) and a non-finite one come back undefined.
TEST(FigureListsTest, FiguresReadBackAsFilledUndefinedOnesAsUndefined) {
  struct Case {
    FigureValue given;
    bool defined;
  };
  const std::vector<Case> cases = {{{0.25, true}, true}, {{-999, false}, false},
                                   {{0, true}, true},    {{HUGE_VAL, true}, false},
                                   {{-0.0, true}, true}, {{1e300, true}, true}};
  const auto group_of = [&](std::size_t from, std::size_t to) {
    FigureGroup g{"g", "G", false, {}};
    for (std::size_t i = from; i < to; ++i) {
      g.figures.push_back(
          {"k", "K: ", false, [&, i](const FigureSource&) { return cases[i].given; }});
    }
    return g;
  };
  const std::vector<FigureGroup> groups = {group_of(0, 2), group_of(2, 6)};
  FigureLists lists;
  const FigureSource source;
  lists.Fill(groups, &source);
  ASSERT_EQ(lists.size(), 2u);
  ASSERT_EQ(lists[0].size(), 2u);
  ASSERT_EQ(lists[1].size(), 4u);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const FigureValue got = i < 2 ? lists[0][i] : lists[1][i - 2];
    EXPECT_EQ(got.defined, cases[i].defined) << i;
    if (!cases[i].defined) continue;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(got.value),
              std::bit_cast<std::uint64_t>(cases[i].given.value))
        << i;
  }
  lists.Fill(groups, nullptr);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_FALSE(lists[1][i].defined);
}

}  // namespace
}  // namespace quelvaris
