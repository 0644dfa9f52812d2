// quelvaris-cli: the batch front end. It runs the same analysis as the desktop program's
// Calculate command over one or more data files, with the options standing in for the main
// window's boxes and switches.

#include <cstdio>

#include "cli/batch_run.h"

int main(int argc, char** argv) {
  return quelvaris::cli::RunBatch({argv + (argc > 0 ? 1 : 0), argv + argc}, stdout, stderr);
}
