// quelvaris-plot: runs the batch command's analysis and draws the hydrograph of the run beside
// the scatter of its models against the observations, into a PNG image or a one-page PDF.
//
// Exit status: 0 when the picture was written and no error box was shown, 1 when the run
// stopped, an error box was shown or the picture could not be written, 2 for a wrong command
// line (unknown option or a rejected value).

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <optional>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QWindow>

#include "cli/cli_host.h"
#include "cli/cli_options.h"
#include "cli/cli_setup.h"
#include "cli/reader_options.h"
#include "cli/reader_run.h"
#include "engine/analysis_run.h"
#include "platform/visible_text.h"
#include "reports/machine_figures.h"
#include "reports/results_file.h"
#include "settings/global_settings.h"
#include "ui/plot/image_export.h"
#include "ui/plot/plot_data.h"
#include "ui/plot/plot_sheet.h"

using namespace quelvaris;

namespace {

constexpr int kSheetWidth = 1600;
constexpr int kSheetHeight = 720;

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

}  // namespace

int main(int argc, char** argv) {
  cli::CliOptions options;
  std::string output;
  CLI::App app{"Plots how well one or more models reproduce observed values.", "quelvaris-plot"};
  cli::DeclareOptions(app, options, cli::DataFiles::One);
  cli::DeclareReaderOptions(app, options, false);
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
  const auto check_output = [&]() -> std::optional<std::string> {
    if (auto m = cli::CheckReaderOptions(options)) return m;
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
    cli::ReaderCall call;
    call.reader = cli::ReaderOptionsOf(options, settings.GlobalMissingCode);
    call.settings = &settings;
    call.result_format = settings.ResultFormat;
    call.calc_aicbic = host.SwitchOn(RunSwitch::CalcAICBIC);
    call.one_column = options.column.has_value();
    call.observed_groups = &none;
    call.model_groups = &none;
    BatchTable table;
    const FileFigures figures = cli::ScoreFile(call, options.data_files.front(),
                                               options.results.value_or(""), host, &table);
    if (figures.has_figures) {
      reports.data =
          ui::MakePlotData(std::move(table), cli::EvaluationOptionsOf(host, settings, false).rule);
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
                                   : QSize(kSheetWidth, kSheetHeight));
  sheet.show();
  WaitUntilExposed(sheet);
  if (!ui::SaveWidgetImage(&sheet, path)) {
    host.ShowMessage("Error Message", "Unable to write the picture to " + VisibleText(output) + ".",
                     MessageIcon::Error, MessageButtons::Ok);
    return cli::kExitRunFailed;
  }
  return host.error_boxes() == 0 ? 0 : cli::kExitRunFailed;
}
