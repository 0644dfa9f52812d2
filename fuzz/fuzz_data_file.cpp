// Data files: any bytes, read under any column count, delimiter and header switch, go through a
// full run and both reports without a crash, a hang, an inf/nan in anything shown or a raw
// control character in a message.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/analysis_run.h"
#include "engine/analysis_session.h"
#include "reports/results_file.h"
#include "reports/screen_report.h"
#include "settings/global_settings.h"

namespace {
using namespace quelvaris;

void Require(bool condition) {
  if (!condition) std::abort();
}
void RequireFinite(const std::string& text) {
  Require(text.find("inf") == std::string::npos && text.find("nan") == std::string::npos);
}

// A run host whose switches and boxes come from the fuzzer's first bytes.
class FuzzHost : public RunHost {
 public:
  std::uint8_t flags = 0;
  std::string no_of_cols, col_to_anal;

  // Messages may quote a field of the file, which can hold any bytes: none may reach the user
  // as a raw control character, only as an escape (the line breaks of the message aside).
  MessageAnswer ShowMessage(const std::string&, const std::string& text, MessageIcon,
                            MessageButtons) override {
    for (const char ch : text) {
      const auto c = static_cast<unsigned char>(ch);
      Require(c == '\r' || c == '\n' || (c >= 0x20 && c != 0x7f));
    }
    return MessageAnswer::Ok;
  }
  void CommitPendingEntry() override {}
  std::string BoxText(RunBox box) const override {
    switch (box) {
      case RunBox::ThreshText:
        return "1.5";
      case RunBox::LowerBoundText:
        return "0";
      case RunBox::UpperBoundText:
        return "1000";
      case RunBox::ColToAnalText:
        return col_to_anal;
      case RunBox::NoOfColsText:
        return no_of_cols;
      case RunBox::AICBICParmsText:
        return "3";
      case RunBox::AICBICPointsText:
        return "40";
    }
    return "0";
  }
  bool SwitchOn(RunSwitch which) const override {
    switch (which) {
      case RunSwitch::TabDelimited:
        return (flags & 1) == 0;
      case RunSwitch::HeaderRow:
        return (flags & 2) != 0;
      case RunSwitch::AnalyseAll:
        return (flags & 4) != 0;
      case RunSwitch::ApplyBounds:
        return (flags & 8) != 0;
      case RunSwitch::CalcAICBIC:
        return (flags & 16) != 0;
    }
    return false;
  }
  void ShowStatistics(const StatisticsDisplay& display) override {
    for (const auto& s : display.observed) RequireFinite(s);
    for (const auto& s : display.modelled) RequireFinite(s);
  }
  void SetDefaultPointer() override {}
};

class CheckingReports : public RunReports {
 public:
  void WriteResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last) override {
    WriteRunResultsFile(ctx, first, last);
    std::ifstream in(ctx.session.request.ResultsFilePath, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    RequireFinite(text);
  }
  void WriteScreenReport(const RunContext& ctx, std::int16_t first, std::int16_t last) override {
    bool aicbic = ctx.host.SwitchOn(RunSwitch::CalcAICBIC);
    for (const auto& line : BuildScreenReport(ctx.session, ctx.settings, first, last, aicbic)) {
      RequireFinite(line.text);
    }
  }
};

std::string ScratchBase() {
  static const std::string base =
      (std::filesystem::temp_directory_path() / ("quelvaris-fuzz-" + std::to_string(getpid())))
          .string();
  return base;
}

// One session for the whole fuzzing process, as the desktop program keeps one for its life:
// stale figures of earlier inputs must never break a later run.
AnalysisSession& Session() {
  static AnalysisSession* session = new AnalysisSession();
  return *session;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  FuzzHost host;
  host.no_of_cols = std::to_string(2 + data[0] % 30);
  host.flags = data[1];
  host.col_to_anal = std::to_string(2 + data[2] % 30);

  const std::string data_path = ScratchBase() + ".dat";
  const std::string results_path = ScratchBase() + ".out";
  {
    std::ofstream out(data_path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 3), static_cast<std::streamsize>(size - 3));
  }

  GlobalSettings settings;
  SetDefaultSettings(settings);
  settings.DecimalsReq = static_cast<std::int16_t>((data[1] >> 5) % 7);
  settings.ResultFormat = FormatForDecimals(settings.DecimalsReq, settings.ResultFormat);

  AnalysisSession& session = Session();
  session.request.DataFilePath = data_path;
  session.request.DataFileName = "fuzz.dat";
  const bool with_results = (data[1] & 128) != 0;
  session.request.ResultsFilePath = with_results ? results_path : "";
  session.request.ResultsFileName = with_results ? "fuzz.out" : "";

  CheckingReports reports;
  RunAnalysis(RunContext{session, settings, host}, reports);
  Require(!session.file.IsOpen());
  return 0;
}
