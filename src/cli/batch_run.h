#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace quelvaris::cli {

// The batch command: `quelvaris-cli DATAFILE... [options]`, the words of its command line
// without the program name. Each data file is analysed in the order given, with the same
// options and one engine session; a file that fails never stops the others. The output goes
// to `out` in the chosen format, the message boxes to `err`. Returns the exit status: the
// worst of the runs (0 < 1), or 2 for a wrong command line, when nothing runs.
int RunBatch(std::vector<std::string> words, std::FILE* out, std::FILE* err);

}  // namespace quelvaris::cli
