#include "cli/cli_setup.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>

#include "cli/explicit_values.h"
#include "engine/input_checks.h"
#include "platform/visible_text.h"
#include "settings/settings_store.h"

namespace quelvaris::cli {

namespace {

int UsageError(const CLI::App& app, const std::string& what) {
  // The message may quote a word of the command line.
  std::fprintf(stderr, "%s: %s\nRun with --help for the options.\n", app.get_name().c_str(),
               VisibleText(what).c_str());
  return kExitUsage;
}

}  // namespace

std::optional<int> ParseCommandLine(CLI::App& app, std::vector<std::string> words) {
  if (auto refused = SeparateExplicitValues(app, words)) return UsageError(app, *refused);
  std::reverse(words.begin(), words.end());  // the parser takes the words last first
  try {
    app.parse(std::move(words));
  } catch (const CLI::CallForHelp&) {
    std::fputs(app.help().c_str(), stdout);
    return 0;
  } catch (const CLI::CallForVersion& e) {
    std::printf("%s\n", e.what());
    return 0;
  } catch (const CLI::ParseError& e) {
    return UsageError(app, e.what());
  }
  return std::nullopt;
}

std::optional<int> ParseCommandLine(CLI::App& app, int argc, char** argv) {
  return ParseCommandLine(app, std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
}

bool PrepareRun(const CliOptions& options, CliHost& host, GlobalSettings& settings,
                AnalysisSession& session, const ExtraCheck& extra_check) {
  SetDefaultSettings(settings);
  // The two settings options are checked on a copy: the settings file read below must not
  // override them, nor be read at all when any value is wrong.
  GlobalSettings chosen = settings;
  ResetRequest(session.request);
  RunInputs inputs;
  std::optional<std::string> rejected = ApplyOptions(options, session.request, chosen, inputs);
  if (!rejected && extra_check) rejected = extra_check();
  if (rejected) {
    ShowErrorMessage(host, *rejected);
    return false;
  }

  if (options.settings) settings.INIFile = *options.settings;
  LoadSettingsAtStart(settings, host);
  if (options.missing_code) settings.GlobalMissingCode = chosen.GlobalMissingCode;
  if (options.decimals) {
    settings.DecimalsReq = chosen.DecimalsReq;
    settings.ResultFormat = chosen.ResultFormat;
  }
  host.SetInputs(std::move(inputs));
  return true;
}

}  // namespace quelvaris::cli
