// quelvaris-plot: runs the batch command's analysis and draws the hydrograph of the run beside
// the scatter of its models against the observations, into a PNG image or a one-page PDF. With
// a time column the hydrograph runs along the dates of the evaluation period, and with periods
// the NSE of each period is drawn under it.
//
// Exit status: 0 when the picture was written and no error box was shown, 1 when the run
// stopped, an error box was shown or the picture could not be written, 2 for a wrong command
// line (unknown option or a rejected value).

#include <CLI/CLI.hpp>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <variant>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QWindow>

#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/cli_setup.h"
#include "cli/reader_options.h"
#include "cli/reader_run.h"
#include "cli/time_options.h"
#include "engine/analysis_run.h"
#include "engine/time_column.h"
#include "engine/time_periods.h"
#include "platform/visible_text.h"
#include "reports/machine_figures.h"
#include "reports/results_file.h"
#include "reports/time_figures.h"
#include "settings/global_settings.h"
#include "ui/plot/image_export.h"
#include "ui/plot/plot_data.h"
#include "ui/plot/plot_sheet.h"

using namespace quelvaris;

namespace {

constexpr int kSheetWidth = 1600;
constexpr int kSheetHeight = 720;
constexpr int kSheetHeightWithPeriods = 960;  // the periods' picture under the hydrograph

// The end of the run: the results file when asked for, and the series of the run kept for
// the picture in place of the screen report.
class PlotReports : public RunReports {
 public:
  void WriteResultsFile(const RunContext& ctx, std::int16_t first, std::int16_t last) override {
    WriteRunResultsFile(ctx, first, last);
  }
  void WriteScreenReport(const RunContext& ctx, std::int16_t first, std::int16_t last) override {
    data = ui::MakePlotData(ctx.session, ctx.settings, ctx.host.SwitchOn(RunSwitch::ApplyBounds),
                            first, last);
  }
  std::optional<ui::PlotData> data;
};

bool HasPictureSuffix(const std::string& path) {
  const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
  return suffix == QLatin1String("png") || suffix == QLatin1String("pdf");
}

// A chart lays itself out when its view is resized on screen; wait until the sheet is.
void WaitUntilExposed(QWidget& widget) {
  QElapsedTimer timer;
  timer.start();
  while (!(widget.windowHandle() && widget.windowHandle()->isExposed()) && timer.elapsed() < 5000) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  QApplication::processEvents();
}

// Standard error carries the run's messages, as from the batch command; the platform's own
// notes (no runtime folder, a plugin without window hints) would only bury them. Real
// failures of Qt still show.
void QuietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "quelvaris-plot: %s\n", qPrintable(text));
  }
}

// The name of a grouping in the title of the periods' picture.
QString GroupingName(PeriodKind kind) {
  switch (kind) {
    case PeriodKind::Year:
      return QStringLiteral("year");
    case PeriodKind::WaterYear:
      return QStringLiteral("water year");
    case PeriodKind::Season:
      return QStringLiteral("season");
    case PeriodKind::Month:
      return QStringLiteral("month");
    case PeriodKind::MonthOfYear:
      return QStringLiteral("month of the year");
    case PeriodKind::SeasonOfYear:
      return QStringLiteral("season of the year");
  }
  return {};
}

// The stamps of the rows the run scored, and each model's NSE in each of its periods. The
// stamps are those the run read, read the same way, so they read here too.
void AddTimes(const TimeSetup& time, const TimeFigures& figures,
              const std::vector<TimeStamp>& stamps, ui::PlotData& data) {
  data.times.reserve(stamps.size());
  for (const TimeStamp t : stamps)
    data.times.push_back(static_cast<double>(t.time_since_epoch().count()));
  const RowRange window = RowsInWindow(stamps, time.window);
  ui::KeepRows(data, window.first, window.count);
  if (!time.by) return;
  const std::vector<FigureColumn>& errors = ErrorFigures(false).figures;
  std::size_t nse = 0;
  while (nse < errors.size() && errors[nse].key != "nse") ++nse;
  data.period_figure_name = QStringLiteral("NSE");
  data.period_grouping = GroupingName(time.by->kind);
  data.period_figure.assign(data.columns.size() - 1, {});
  const PeriodKind kind = time.by->kind;
  if (kind != PeriodKind::MonthOfYear && kind != PeriodKind::SeasonOfYear) {
    const std::vector<Period> periods = PeriodsOf(stamps, window, *time.by);
    if (periods.size() == figures.periods.size()) {
      for (const Period& p : periods) {
        const auto seconds = [](TimeStamp t) {
          return static_cast<double>(t.time_since_epoch().count());
        };
        data.period_middles.push_back((seconds(p.start) + seconds(p.end)) / 2);
      }
    }
  }
  for (const SpanFigures& period : figures.periods) {
    data.period_labels.push_back(QString::fromStdString(period.period));
    for (std::size_t m = 0; m < data.period_figure.size(); ++m) {
      double v = std::numeric_limits<double>::quiet_NaN();
      if (period.has_figures && m < period.models.size()) {
        const FigureValue f = period.models[m].groups.front()[nse];
        if (f.defined) v = f.value;
      }
      data.period_figure[m].push_back(v);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  cli::CliOptions options;
  std::string output;
  CLI::App app{"Plots how well one or more models reproduce observed values.", "quelvaris-plot"};
  cli::DeclareOptions(app, options, cli::DataFiles::One);
  cli::DeclareReaderOptions(app, options, false);
  TimeOptionTexts time_options;
  cli::DeclareTimeWindowOptions(app, time_options);
  app.get_option("--by")->description(
      "Also draw the NSE of each model in each period: year, water-year[=M], season, month, "
      "month-of-year or season-of-year");
  cli::DeclareVersion(app);
  app.footer(
      "Exit status:\n"
      "  0  the picture was written and no error message was shown\n"
      "  1  the run stopped, an error message was shown or the picture could not be written\n"
      "  2  a wrong command line (unknown or repeated option, rejected value); nothing is read");
  app.add_option("--output", output, "The picture to write: FILE.png or FILE.pdf")
      ->required()
      ->type_name("FILE");
  if (auto status = cli::ParseCommandLine(app, argc, argv)) return *status;
  options.wide_columns = !options.desktop_reader;

  cli::CliHost host({}, stderr, options.quiet);
  GlobalSettings settings;
  auto session = std::make_unique<AnalysisSession>();
  // Checked last, like its place on the command line; the format follows the name.
  TimeSetup time;
  const auto check_output = [&]() -> std::optional<std::string> {
    if (auto m = cli::CheckReaderOptions(options)) return m;
    auto checked = CheckTimeOptions(time_options);
    if (const auto* m = std::get_if<std::string>(&checked)) return *m;
    time = std::get<TimeSetup>(std::move(checked));
    if (time.time && options.desktop_reader) {
      return std::string("--desktop-reader reads numbers only and takes no --time.");
    }
    if (HasPictureSuffix(output)) return std::nullopt;
    return "Output file name must end in .png or .pdf.";
  };
  if (!cli::PrepareRun(options, host, settings, *session, check_output)) return cli::kExitUsage;
  cli::SetRunFiles(session->request, options.data_files.front(), options.results.value_or(""));

  PlotReports reports;
  if (options.desktop_reader) {
    RunAnalysis(RunContext{*session, settings, host}, reports);
  } else {
    // The batch reader's run: the same messages and results file as the batch command's.
    const std::vector<FigureGroup> none;
    // The NSE of each period is read from the periods' error figures.
    const std::vector<FigureGroup> errors{ErrorFigures(false)};
    cli::ReaderCall call;
    call.reader = cli::ReaderOptionsOf(options, settings.GlobalMissingCode);
    call.settings = &settings;
    call.result_format = settings.ResultFormat;
    call.calc_aicbic = host.SwitchOn(RunSwitch::CalcAICBIC);
    call.one_column = options.column.has_value();
    call.observed_groups = &none;
    call.model_groups = time.by ? &errors : &none;
    if (time.time) {
      call.time = &time;
      call.reader.time = time.time;
    }
    BatchTable table;
    const std::string& file = options.data_files.front();
    const FileFigures figures =
        cli::ScoreFile(call, file, options.results.value_or(""), host, &table);
    if (figures.has_figures) {
      std::vector<TimeStamp> stamps;
      if (figures.time) {
        TimeStampReader reader(time.layout);
        stamps = TimeColumnOf(table.times, table.time_lines, reader, DataFileShownName(file));
      }
      reports.data =
          ui::MakePlotData(std::move(table), cli::EvaluationOptionsOf(host, settings, false).rule);
      if (figures.time) AddTimes(time, *figures.time, stamps, *reports.data);
    }
  }
  if (!reports.data) return cli::kExitRunFailed;

  // Drawing needs no display: the offscreen platform unless the caller chose one.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietQtNotes);
  QApplication qt(argc, argv);
  const QString path = QString::fromStdString(output);
  ui::PlotSheet sheet(*reports.data);
  // A PDF is laid out in the shape of its page, so that the sheet fills it.
  sheet.resize(ui::IsPdfPath(path) ? ui::PdfLayoutSize(kSheetWidth)
                                   : QSize(kSheetWidth, reports.data->period_labels.empty()
                                                            ? kSheetHeight
                                                            : kSheetHeightWithPeriods));
  sheet.show();
  WaitUntilExposed(sheet);
  if (!ui::SaveWidgetImage(&sheet, path)) {
    host.ShowMessage("Error Message", "Unable to write the picture to " + VisibleText(output) + ".",
                     MessageIcon::Error, MessageButtons::Ok);
    return cli::kExitRunFailed;
  }
  return host.error_boxes() == 0 ? 0 : cli::kExitRunFailed;
}
