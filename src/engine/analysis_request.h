#pragma once

#include <cstdint>
#include <string>

namespace quelvaris {

// The inputs of a run, held by the main window (or the batch command) for its whole life.
// Every field always holds the last accepted value of its box.
struct AnalysisRequest {
  std::string DataFilePath;
  std::string DataFileShown;  // how messages name the data file; empty: by its path
  std::string DataFileName;   // empty: no data file chosen
  std::string ResultsFilePath;
  std::string ResultsFileName;  // empty: no results file is written
  std::int16_t NoOfCols = 2;    // columns per row, observed included: 2 to 30
  std::int16_t ColToAnal = 2;   // modelled column analysed when not analysing all
  double Threshold = 0;
  double LowerBound = 0;
  double UpperBound = 9999;
  std::int16_t AICBICParms = 0;
  std::int16_t AICBICPoints = 0;
};

// Counters of a run, 16-bit like the old program's and checked on every step.
struct RunCounters {
  std::int16_t RowCount = 0;
  std::int16_t MissingCount = 0;
  std::int16_t OutOfBoundsCount = 0;
};

}  // namespace quelvaris
