#pragma once
// A check's result for a test system: TAP version 14 on a terminal or in a
// CI log, and JUnit XML for the systems that read that. One test point per
// frame sent with recorded answers (or with answers the record does not
// have); the frames without either are counted in the plan's comment, the
// frames no sent frame explains in comments after the points.
#include <string>
#include <vector>

#include "record/record_check.h"

namespace vela {

struct CheckPoint {
    std::string name;                  // "satır 12: El Terminali 5"
    std::vector<Finding> differences;  // empty: passed
};

struct CheckPoints {
    std::vector<CheckPoint> points;
    std::size_t without_answers = 0;
};

CheckPoints check_points(const std::vector<Exchange>& exchanges, const CheckResult& result);

std::string tap_report(const CheckPoints& points, const CheckResult& result);

// The port, the speed and the record's path go in as the suite's properties.
struct CheckRun {
    std::string port;
    int baud = 0;
    std::string record;
};
std::string junit_report(const CheckPoints& points, const CheckRun& run);

}  // namespace vela
