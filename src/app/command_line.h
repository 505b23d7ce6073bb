#pragma once
// The console's command line: --help, --version and --check.

namespace vela {

// Answers a command line that has arguments and gives the exit status: the
// help or the version on standard output (0), anything else refused on
// standard error (1). It opens no window, so it works without a display.
int answerCommandLine(int argc, char* argv[]);

}  // namespace vela
