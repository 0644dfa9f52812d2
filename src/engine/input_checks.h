#pragma once

#include <optional>
#include <string>

#include "engine/analysis_request.h"

namespace quelvaris {

// The checks of the main window's seven typed boxes, shared with the batch command so both
// accept and reject the same texts with the same messages.
//
// A check either accepts: it stores the converted value in the request and returns the text the
// box shows afterwards (integers as digits, doubles in their general form, "1.50" -> "1.5");
// or rejects: the request is unchanged and the result carries the message (shown in an
// "Error Message" box) and the text of the last accepted value, which the box shows again.
struct CheckResult {
  bool accepted = false;
  std::string box_text;  // what the box shows after the check
  std::string message;   // empty when accepted
};

CheckResult CheckNoOfCols(const std::string& text, AnalysisRequest& request);
CheckResult CheckColToAnal(const std::string& text, AnalysisRequest& request);
CheckResult CheckThresh(const std::string& text, AnalysisRequest& request);
CheckResult CheckLowerBound(const std::string& text, AnalysisRequest& request);
CheckResult CheckUpperBound(const std::string& text, AnalysisRequest& request);
CheckResult CheckParms(const std::string& text, AnalysisRequest& request);
CheckResult CheckPoints(const std::string& text, AnalysisRequest& request);

// The defaults after a reset (the numeric part of ResetMain).
void ResetRequest(AnalysisRequest& request);

}  // namespace quelvaris
