#pragma once
// The options of "vela-test --check" on the console's command line, checked
// before anything is opened: a mistake is a usage error (exit status 4).
class QCommandLineParser;

namespace vela {

void addCheckOptions(QCommandLineParser& parser);
// Whether the command line asks for a check.
bool asksForCheck(const QCommandLineParser& parser);
// Checks the options and runs the check; the exit status.
int answerCheck(const QCommandLineParser& parser);
// A check's command line the parser could not read (an option without its value, one unknown).
int checkNotParsed(const QCommandLineParser& parser);

}  // namespace vela
