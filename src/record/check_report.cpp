#include "record/check_report.h"

#include "record/session_record.h"

namespace vela {

namespace {

// The outcomes of a point's differences: "eksik, farklı".
std::string words_of(const std::vector<Finding>& differences) {
    std::string words;
    for (const Finding& f : differences) words += (words.empty() ? "" : ", ") + std::string(outcome_word(f.outcome));
    return words;
}

// A TAP description ends at a line end and takes "#" as a directive.
std::string tap_text(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '#' || c == '\\') out += '\\';
        out += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return out;
}

std::string yaml_quoted(std::string_view text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// Text and attribute values; control characters are not allowed in XML 1.0.
std::string xml_text(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += (static_cast<unsigned char>(c) < 0x20 && c != '\n') ? ' ' : c;
        }
    }
    return out;
}

}  // namespace

CheckPoints check_points(const std::vector<Exchange>& exchanges, const CheckResult& result) {
    CheckPoints points;
    std::vector<bool> judged(exchanges.size(), false);
    std::vector<std::vector<Finding>> differences(exchanges.size());
    for (const Finding& f : result.findings) {
        judged[f.exchange] = true;
        if (f.outcome != Outcome::Matched) differences[f.exchange].push_back(f);
    }
    for (std::size_t e = 0; e < exchanges.size(); ++e) {
        if (!judged[e]) {
            ++points.without_answers;
            continue;
        }
        const Exchange& x = exchanges[e];
        points.points.push_back(
            {"satır " + std::to_string(x.line) + ": " + device_name(x.device, x.sent[5]), std::move(differences[e])});
    }
    return points;
}

std::string tap_report(const CheckPoints& points, const CheckResult& result) {
    std::string tap = "TAP version 14\n1.." + std::to_string(points.points.size()) + " # " +
                      std::to_string(points.without_answers) + " çerçevenin kayıtta cevabı yok\n";
    for (std::size_t i = 0; i < points.points.size(); ++i) {
        const CheckPoint& point = points.points[i];
        tap += (point.differences.empty() ? "ok " : "not ok ") + std::to_string(i + 1) + " - " + tap_text(point.name) +
               "\n";
        if (point.differences.empty()) continue;
        std::string got = "  got:\n", expect = "  expect:\n";
        for (const Finding& f : point.differences) {
            got += "    - " + yaml_quoted(answer_text(f.seen)) + "\n";
            expect += "    - " + yaml_quoted(answer_text(f.expected)) + "\n";
        }
        tap += "  ---\n  message: " + yaml_quoted(words_of(point.differences)) + "\n  severity: fail\n" + got + expect +
               "  ...\n";
    }
    for (const TimedFrame& frame : result.unexplained) {
        tap += "# açıklanmayan: " + bytes_text(frame.frame) + "\n";
    }
    tap += "# " + tap_text(verdict(result)) + "\n";
    return tap;
}

std::string junit_report(const CheckPoints& points, const CheckRun& run) {
    std::size_t failures = 0;
    for (const CheckPoint& point : points.points) failures += point.differences.empty() ? 0 : 1;
    const std::string counts = " tests=\"" + std::to_string(points.points.size()) + "\" failures=\"" +
                               std::to_string(failures) + "\"";
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"vela-test --check\"" + counts +
                      ">\n  <testsuite name=\"" + xml_text(run.record) + "\"" + counts +
                      " skipped=\"0\" errors=\"0\">\n    <properties>\n";
    const auto property = [&](std::string_view name, const std::string& value) {
        xml += "      <property name=\"" + std::string(name) + "\" value=\"" + xml_text(value) + "\"/>\n";
    };
    property("port", run.port);
    property("baud", std::to_string(run.baud));
    property("record", run.record);
    xml += "    </properties>\n";
    for (const CheckPoint& point : points.points) {
        xml += "    <testcase classname=\"kayit\" name=\"" + xml_text(point.name) + "\"";
        if (point.differences.empty()) {
            xml += "/>\n";
            continue;
        }
        xml += ">\n      <failure message=\"" + xml_text(words_of(point.differences)) + "\" type=\"fark\">";
        for (const Finding& f : point.differences) {
            xml += xml_text(std::string(outcome_word(f.outcome)) + ": beklenen " + answer_text(f.expected) +
                            ", gelen " + answer_text(f.seen)) +
                   "\n";
        }
        xml += "</failure>\n    </testcase>\n";
    }
    return xml + "  </testsuite>\n</testsuites>\n";
}

}  // namespace vela
