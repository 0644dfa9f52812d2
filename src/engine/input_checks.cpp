#include "engine/input_checks.h"

#include <cstdint>
#include <limits>

#include "platform/number_text.h"

namespace quelvaris {

namespace {

constexpr double kInt16Max = std::numeric_limits<std::int16_t>::max();

CheckResult Accept(double shown) {
  return {true, FormatGeneral(shown), {}};
}

CheckResult Reject(std::string message, double last_accepted) {
  return {false, FormatGeneral(last_accepted), std::move(message)};
}

// The parameters and data points share one shape: at least 2, rounded down. A value too big for
// the 16-bit field passes (the boxes have no upper limit); the box keeps it and the field its
// old value, so the run raises the overflow when it takes the box text.
CheckResult CheckCount(const std::string& text, std::int16_t& field, const char* not_a_value,
                       const char* too_small) {
  const auto x = ParseNumber(text);
  if (!x) return Reject(not_a_value, field);
  if (!(*x >= 2)) return Reject(too_small, field);
  const double count = RoundDown(*x);
  if (count <= kInt16Max) field = static_cast<std::int16_t>(count);
  return Accept(count);
}

}  // namespace

CheckResult CheckNoOfCols(const std::string& text, AnalysisRequest& request) {
  const auto x = ParseNumber(text);
  if (!x) return Reject("Columns must be a value from 2 to 30.", request.NoOfCols);
  // The range is tested on the typed value: 30.4 is out although it would round to 30.
  if (!(*x >= 2 && *x <= 30)) {
    return Reject(
        "Columns must be a value from 2 to 30.  Column 1 should contain the observed data.",
        request.NoOfCols);
  }
  request.NoOfCols = static_cast<std::int16_t>(RoundHalfEven(*x));
  return Accept(request.NoOfCols);
}

CheckResult CheckColToAnal(const std::string& text, AnalysisRequest& request) {
  const char* range = "Column to analyse must be a value from 2 to 100.";
  const auto x = ParseNumber(text);
  if (!x) return Reject(range, request.ColToAnal);
  if (!(*x >= 2 && *x <= 100)) return Reject(range, request.ColToAnal);
  if (*x > request.NoOfCols) {
    return Reject("Column to analyse must be less than the total number of columns available.",
                  request.ColToAnal);
  }
  request.ColToAnal = static_cast<std::int16_t>(RoundHalfEven(*x));
  return Accept(request.ColToAnal);
}

CheckResult CheckThresh(const std::string& text, AnalysisRequest& request) {
  const auto x = ParseNumber(text);
  if (!x) return Reject("Threshold must be a value.", request.Threshold);
  request.Threshold = *x;
  return Accept(*x);
}

CheckResult CheckLowerBound(const std::string& text, AnalysisRequest& request) {
  const auto x = ParseNumber(text);
  if (!x) return Reject("Lower bound must be a value.", request.LowerBound);
  if (!(*x < request.UpperBound)) {
    return Reject("Lower bound must be less than upper bound.", request.LowerBound);
  }
  request.LowerBound = *x;
  return Accept(*x);
}

CheckResult CheckUpperBound(const std::string& text, AnalysisRequest& request) {
  const auto x = ParseNumber(text);
  if (!x) return Reject("Upper bound must be a value.", request.UpperBound);
  if (!(*x > request.LowerBound)) {
    return Reject("Upper bound must be greater than lower bound.", request.UpperBound);
  }
  request.UpperBound = *x;
  return Accept(*x);
}

CheckResult CheckParms(const std::string& text, AnalysisRequest& request) {
  return CheckCount(text, request.AICBICParms, "Parameters must be a value.",
                    "Parameters must be a positive integer greater than 2.");
}

CheckResult CheckPoints(const std::string& text, AnalysisRequest& request) {
  return CheckCount(text, request.AICBICPoints, "Data points must be a value.",
                    "Data points must be a positive integer greater than 2.");
}

void ResetRequest(AnalysisRequest& request) {
  request.DataFilePath.clear();
  request.DataFileName.clear();
  request.ResultsFilePath.clear();
  request.ResultsFileName.clear();
  request.NoOfCols = 2;
  request.ColToAnal = 2;
  request.Threshold = 0;
  request.LowerBound = 0;
  request.UpperBound = 9999;
  request.AICBICParms = 0;
  request.AICBICPoints = 0;
}

}  // namespace quelvaris
