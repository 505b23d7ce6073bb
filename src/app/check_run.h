#pragma once
// "vela-test --check": a saved record sent again on a test station, without a
// window or a display, and its answers compared with the recorded ones. The
// frames go out with the console's own pacing and are recorded as the console
// records them; the result is TAP on standard output, and JUnit XML when asked.
#include <QString>
#include <chrono>

#include "record/record_check.h"

namespace vela {

struct CheckOptions {
    QString record;
    QString device;  // --port; empty when --com is given
    int com = 0;
    int baud = 9600;
    std::chrono::milliseconds tolerance = kDefaultTolerance;
    bool shortenGaps = false;
    QString recordOut;  // --record
    QString junit;      // --junit
};

// The exit statuses of a check.
enum CheckExit { kAllMatched = 0, kDifferences = 1, kPortFailed = 2, kRecordRefused = 3, kUsageError = 4 };

// Runs the check to its end in the QCoreApplication's event loop.
int runCheck(const CheckOptions& options);

}  // namespace vela
