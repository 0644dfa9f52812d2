#pragma once

#include <array>
#include <string>

#include "platform/message_sink.h"

namespace quelvaris {

// The switches of a run, read from their controls at the moment they are needed.
enum class RunSwitch { HeaderRow, TabDelimited, AnalyseAll, ApplyBounds, CalcAICBIC };

// The typed boxes the run refreshes its request from.
enum class RunBox {
  ThreshText,
  LowerBoundText,
  UpperBoundText,
  ColToAnalText,
  NoOfColsText,
  AICBICParmsText,
  AICBICPointsText
};

// The texts of the sixteen display boxes, each group top to bottom:
// Mean, SD, Minimum, Maximum, POT, Skewness, Kurtosis, Out of Bounds.
enum DisplayRow {
  kDisplayMean,
  kDisplaySD,
  kDisplayMin,
  kDisplayMax,
  kDisplayPOT,
  kDisplaySkew,
  kDisplayKur,
  kDisplayOOB,
  kDisplayRows
};
struct StatisticsDisplay {
  std::array<std::string, kDisplayRows> observed;
  std::array<std::string, kDisplayRows> modelled;  // all empty when every column is analysed
};

// Everything a run needs from the window that started it. The main window implements it with
// its widgets and QMessageBox; the batch command and the tests without Qt.
class RunHost : public MessageSink {
 public:
  // Step 1: the typed box holding the focus loses it, so its check runs before the run reads it.
  virtual void CommitPendingEntry() = 0;
  virtual std::string BoxText(RunBox box) const = 0;
  virtual bool SwitchOn(RunSwitch which) const = 0;
  virtual void ShowStatistics(const StatisticsDisplay& display) = 0;
  // Part of CloseFiles: the window's mouse pointer back to the default pointer.
  virtual void SetDefaultPointer() = 0;
};

}  // namespace quelvaris
