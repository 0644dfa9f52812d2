#include "cli/cli_setup.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "engine/input_checks.h"
#include "settings/settings_store.h"

namespace quelvaris::cli {

std::optional<int> ParseCommandLine(CLI::App& app, int argc, char** argv) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    std::fputs(app.help().c_str(), stdout);
    return 0;
  } catch (const CLI::CallForVersion& e) {
    std::printf("%s\n", e.what());
    return 0;
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "%s: %s\nRun with --help for the options.\n", app.get_name().c_str(),
                 e.what());
    return kExitUsage;
  }
  return std::nullopt;
}

bool PrepareRun(const CliOptions& options, CliHost& host, GlobalSettings& settings,
                AnalysisSession& session) {
  SetDefaultSettings(settings);
  if (options.settings) settings.INIFile = *options.settings;
  LoadSettingsAtStart(settings, host);

  ResetRequest(session.request);
  RunInputs inputs;
  if (auto rejected = ApplyOptions(options, session.request, settings, inputs)) {
    ShowErrorMessage(host, *rejected);
    return false;
  }
  host.SetInputs(std::move(inputs));
  return true;
}

}  // namespace quelvaris::cli
