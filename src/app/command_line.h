#pragma once
// The console's command line: --help, --version, --export and --check.

namespace vela {

// Answers a command line that has arguments and gives the exit status: the
// help or the version on standard output (0), an export, a check (its own
// statuses, check_run.h), anything else refused on standard error (1). It
// opens no window, so it works without a display.
int answerCommandLine(int argc, char* argv[]);

}  // namespace vela
