#include "engine/input_checks.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace quelvaris {
namespace {

using Check = std::function<CheckResult(const std::string&, AnalysisRequest&)>;

const std::string kColsShort = "Columns must be a value from 2 to 30.";
const std::string kColsLong =
    "Columns must be a value from 2 to 30.  Column 1 should contain the observed data.";
const std::string kColRange = "Column to analyse must be a value from 2 to 100.";
const std::string kColAvail =
    "Column to analyse must be less than the total number of columns available.";
const std::string kParmsValue = "Parameters must be a value.";
const std::string kParmsSmall = "Parameters must be a positive integer greater than 2.";
const std::string kPointsValue = "Data points must be a value.";
const std::string kPointsSmall = "Data points must be a positive integer greater than 2.";

// A request after a reset with a few fields changed, for the checks that compare with them.
AnalysisRequest Request(int cols = 2, double lower = 0, double upper = 9999) {
  AnalysisRequest r;
  ResetRequest(r);
  r.NoOfCols = static_cast<std::int16_t>(cols);
  r.LowerBound = lower;
  r.UpperBound = upper;
  return r;
}

// One typed entry: the request before, the text, and what the check must leave behind.
struct Case {
  const char* name;
  Check check;
  AnalysisRequest before;
  std::string text;
  bool accepted;
  std::string message;
  std::string box;
  std::function<bool(const AnalysisRequest&)> field_ok;
};

TEST(InputChecks, AcceptOrRejectEachTypedEntry) {
  const Case cases[] = {
      {"cols 31", CheckNoOfCols, Request(5), "31", false, kColsLong, "5",
       [](auto& r) { return r.NoOfCols == 5; }},
      {"cols empty", CheckNoOfCols, Request(5), "", false, kColsShort, "5",
       [](auto& r) { return r.NoOfCols == 5; }},
      {"cols letters", CheckNoOfCols, Request(5), "x", false, kColsShort, "5",
       [](auto& r) { return r.NoOfCols == 5; }},
      {"cols 30.4 tested unrounded", CheckNoOfCols, Request(5), "30.4", false, kColsLong, "5",
       [](auto& r) { return r.NoOfCols == 5; }},
      {"cols 1.6 tested unrounded", CheckNoOfCols, Request(5), "1.6", false, kColsLong, "5",
       [](auto& r) { return r.NoOfCols == 5; }},
      {"cols 2.5 to even", CheckNoOfCols, Request(5), "2.5", true, "", "2",
       [](auto& r) { return r.NoOfCols == 2; }},
      {"cols 3.5 to even", CheckNoOfCols, Request(5), " 3.5 ", true, "", "4",
       [](auto& r) { return r.NoOfCols == 4; }},
      {"cols 30", CheckNoOfCols, Request(5), "30", true, "", "30",
       [](auto& r) { return r.NoOfCols == 30; }},
      {"cols below col to analyse", CheckNoOfCols,
       [] {
         auto r = Request(5);
         r.ColToAnal = 5;
         return r;
       }(),
       "3", true, "", "3", [](auto& r) { return r.NoOfCols == 3 && r.ColToAnal == 5; }},
      {"col 5 of 4", CheckColToAnal, Request(4), "5", false, kColAvail, "2",
       [](auto& r) { return r.ColToAnal == 2; }},
      {"col 4 of 4", CheckColToAnal, Request(4), "4", true, "", "4",
       [](auto& r) { return r.ColToAnal == 4; }},
      {"col 4.4 of 4", CheckColToAnal, Request(4), "4.4", false, kColAvail, "2",
       [](auto& r) { return r.ColToAnal == 2; }},
      {"col 101", CheckColToAnal, Request(30), "101", false, kColRange, "2",
       [](auto& r) { return r.ColToAnal == 2; }},
      {"col 1", CheckColToAnal, Request(30), "1", false, kColRange, "2",
       [](auto& r) { return r.ColToAnal == 2; }},
      {"col empty", CheckColToAnal, Request(30), "", false, kColRange, "2",
       [](auto& r) { return r.ColToAnal == 2; }},
      {"col 2.5 to even", CheckColToAnal, Request(30), "2.5", true, "", "2",
       [](auto& r) { return r.ColToAnal == 2; }},
      {"threshold letters", CheckThresh, Request(), "abc", false, "Threshold must be a value.", "0",
       [](auto& r) { return r.Threshold == 0; }},
      {"threshold -1e3", CheckThresh, Request(), "-1e3", true, "", "-1000",
       [](auto& r) { return r.Threshold == -1000; }},
      {"threshold 0.10", CheckThresh, Request(), "0.10", true, "", "0.1",
       [](auto& r) { return r.Threshold == 0.1; }},
      {"lower 1.50", CheckLowerBound, Request(), "1.50", true, "", "1.5",
       [](auto& r) { return r.LowerBound == 1.5; }},
      {"lower equals upper", CheckLowerBound, Request(2, 1, 10), "10", false,
       "Lower bound must be less than upper bound.", "1",
       [](auto& r) { return r.LowerBound == 1; }},
      {"lower empty", CheckLowerBound, Request(2, 1, 10), " ", false,
       "Lower bound must be a value.", "1", [](auto& r) { return r.LowerBound == 1; }},
      {"upper 0 over lower 0", CheckUpperBound, Request(), "0", false,
       "Upper bound must be greater than lower bound.", "9999",
       [](auto& r) { return r.UpperBound == 9999; }},
      {"upper letters", CheckUpperBound, Request(), "ten", false, "Upper bound must be a value.",
       "9999", [](auto& r) { return r.UpperBound == 9999; }},
      {"upper 0.001", CheckUpperBound, Request(), "0.001", true, "", "0.001",
       [](auto& r) { return r.UpperBound == 0.001; }},
      {"parms 2", CheckParms, Request(), "2", true, "", "2",
       [](auto& r) { return r.AICBICParms == 2; }},
      {"parms 3.7", CheckParms, Request(), "3.7", true, "", "3",
       [](auto& r) { return r.AICBICParms == 3; }},
      {"parms 2.9", CheckParms, Request(), "2.9", true, "", "2",
       [](auto& r) { return r.AICBICParms == 2; }},
      {"parms 1", CheckParms, Request(), "1", false, kParmsSmall, "0",
       [](auto& r) { return r.AICBICParms == 0; }},
      {"parms 1.99", CheckParms, Request(), "1.99", false, kParmsSmall, "0",
       [](auto& r) { return r.AICBICParms == 0; }},
      {"parms empty", CheckParms, Request(), "", false, kParmsValue, "0",
       [](auto& r) { return r.AICBICParms == 0; }},
      {"parms 32767", CheckParms, Request(), "32767.9", true, "", "32767",
       [](auto& r) { return r.AICBICParms == 32767; }},
      {"parms 32768 passes, field kept", CheckParms, Request(), "32768.5", true, "", "32768",
       [](auto& r) { return r.AICBICParms == 0; }},
      {"points 2", CheckPoints, Request(), "2", true, "", "2",
       [](auto& r) { return r.AICBICPoints == 2; }},
      {"points 1", CheckPoints, Request(), "1", false, kPointsSmall, "0",
       [](auto& r) { return r.AICBICPoints == 0; }},
      {"points letters", CheckPoints, Request(), "n", false, kPointsValue, "0",
       [](auto& r) { return r.AICBICPoints == 0; }},
      {"points 100000", CheckPoints, Request(), "100000", true, "", "100000",
       [](auto& r) { return r.AICBICPoints == 0; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AnalysisRequest r = c.before;
    const CheckResult result = c.check(c.text, r);
    EXPECT_EQ(result.accepted, c.accepted);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(result.box_text, c.box);
    EXPECT_TRUE(c.field_ok(r));
  }
}

TEST(InputChecks, RejectionRestoresTheLastAcceptedValue) {
  AnalysisRequest r;
  ResetRequest(r);
  ASSERT_TRUE(CheckThresh("12.25", r).accepted);
  const CheckResult rejected = CheckThresh("12,5", r);
  EXPECT_FALSE(rejected.accepted);
  EXPECT_EQ(rejected.box_text, "12.25");
  EXPECT_EQ(r.Threshold, 12.25);

  ASSERT_TRUE(CheckLowerBound("-5", r).accepted);
  ASSERT_TRUE(CheckUpperBound("-4.5", r).accepted);
  EXPECT_EQ(CheckLowerBound("-4.5", r).box_text, "-5");
}

}  // namespace
}  // namespace quelvaris
