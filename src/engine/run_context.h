#pragma once

#include "engine/analysis_session.h"
#include "engine/run_host.h"
#include "settings/global_settings.h"

namespace quelvaris {

// What every routine of a run works on.
struct RunContext {
  AnalysisSession& session;
  const GlobalSettings& settings;
  RunHost& host;
};

}  // namespace quelvaris
