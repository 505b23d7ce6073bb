#include "record/record_check.h"

#include <algorithm>

#include "protocol/monitor.h"
#include "record/record_summary.h"
#include "record/session_record.h"

namespace vela {

namespace {

using std::chrono::milliseconds;

// A frame of the run, placed: the interval it came in (-1 before the first
// frame sent) and, when the rule takes it as one, the answer of that interval.
struct Heard {
    TimedFrame frame;
    std::ptrdiff_t interval = -1;
    bool answer = false;
    bool used = false;
};

std::vector<Heard> placed(const std::vector<Exchange>& exchanges, const std::vector<CheckTime>& sent_at,
                          const std::vector<TimedFrame>& received, CheckTime window) {
    AnswerRule rule(window);
    std::vector<Heard> heard;
    heard.reserve(received.size());
    std::size_t sent = 0;
    for (const TimedFrame& frame : received) {
        // A frame sent at the same moment goes first: it cannot answer a later one.
        for (; sent < std::min(sent_at.size(), exchanges.size()) && sent_at[sent] <= frame.at; ++sent) {
            rule.sent(exchanges[sent].device, exchanges[sent].sent, sent_at[sent]);
        }
        const auto interval = static_cast<std::ptrdiff_t>(sent) - 1;
        heard.push_back({frame, interval, rule.received(frame.frame, frame.at).delay.has_value()});
    }
    return heard;
}

std::string delay_text(CheckTime delay) {
    return std::to_string(std::chrono::duration_cast<milliseconds>(delay).count()) + " ms";
}

}  // namespace

void ExchangeBuilder::at(std::optional<std::int64_t> at_ms) {
    if (at_ms) now_ = milliseconds{*at_ms};
}

void ExchangeBuilder::sent(const RecordedFrame& frame) {
    at(frame.at_ms);
    exchanges_.push_back({frame.line, frame.frame, recorded_device(frame.device), {}});
    rule_.sent(exchanges_.back().device, frame.frame, now_);
}

void ExchangeBuilder::recognised(std::optional<std::int64_t> at_ms, const Frame& frame) {
    at(at_ms);
    if (exchanges_.empty()) return;
    if (const std::optional<CheckTime> delay = rule_.received(frame, now_).delay) {
        exchanges_.back().answers.push_back({frame, *delay});
    }
}

std::string_view outcome_word(Outcome outcome) {
    switch (outcome) {
    case Outcome::Matched: return "eşleşti";
    case Outcome::Missing: return "eksik";
    case Outcome::Different: return "farklı";
    case Outcome::Late: return "geç";
    case Outcome::Unexpected: return "beklenmeyen";
    }
    return {};
}

std::size_t CheckResult::count(Outcome outcome) const {
    return static_cast<std::size_t>(
        std::count_if(findings.begin(), findings.end(), [outcome](const Finding& f) { return f.outcome == outcome; }));
}

// Three passes over every exchange, so that a frame is taken first where it
// fits best: the same bytes in its own interval, then the same bytes in a
// later interval within the answer window, then the same number with other
// bytes in its own interval.
CheckResult check_run(const std::vector<Exchange>& exchanges, const std::vector<CheckTime>& sent_at,
                      const std::vector<TimedFrame>& received, const CheckSettings& settings) {
    std::vector<Heard> heard = placed(exchanges, sent_at, received, settings.window);
    // Where each interval's frames begin in `heard`; the frames before the first are at its start.
    std::vector<std::size_t> begins(exchanges.size() + 1, heard.size());
    for (std::size_t i = heard.size(); i-- > 0;) {
        if (heard[i].interval >= 0) begins[static_cast<std::size_t>(heard[i].interval)] = i;
    }
    for (std::size_t i = exchanges.size(); i-- > 0;) begins[i] = std::min(begins[i], begins[i + 1]);

    std::vector<std::vector<std::optional<Finding>>> found(exchanges.size());
    for (std::size_t e = 0; e < exchanges.size(); ++e) found[e].resize(exchanges[e].answers.size());
    const auto each_open = [&](auto&& look) {
        for (std::size_t e = 0; e < exchanges.size() && e < sent_at.size(); ++e) {
            for (std::size_t a = 0; a < exchanges[e].answers.size(); ++a) {
                if (!found[e][a]) look(e, a, exchanges[e].answers[a]);
            }
        }
    };
    const auto take = [&](std::size_t e, std::size_t a, Heard& h, Outcome outcome) {
        h.used = true;
        found[e][a] = Finding{outcome, e, exchanges[e].answers[a],
                              RecordedAnswer{h.frame.frame, h.frame.at - sent_at[e]}};
    };
    const auto own = [&](std::size_t e, auto&& fits) -> Heard* {
        for (std::size_t i = begins[e]; i < begins[e + 1]; ++i) {
            if (heard[i].answer && !heard[i].used && fits(heard[i].frame.frame)) return &heard[i];
        }
        return nullptr;
    };
    each_open([&](std::size_t e, std::size_t a, const RecordedAnswer& r) {
        if (Heard* h = own(e, [&](const Frame& f) { return f == r.frame; })) {
            const bool late = h->frame.at - sent_at[e] > r.delay + settings.tolerance;
            take(e, a, *h, late ? Outcome::Late : Outcome::Matched);
        }
    });
    each_open([&](std::size_t e, std::size_t a, const RecordedAnswer& r) {
        for (std::size_t i = begins[e + 1]; i < heard.size() && heard[i].frame.at - sent_at[e] <= settings.window;
             ++i) {
            if (!heard[i].used && heard[i].frame.frame == r.frame) return take(e, a, heard[i], Outcome::Late);
        }
    });
    each_open([&](std::size_t e, std::size_t a, const RecordedAnswer& r) {
        if (Heard* h = own(e, [&](const Frame& f) { return f[5] == r.frame[5]; })) take(e, a, *h, Outcome::Different);
    });

    CheckResult result;
    for (std::size_t e = 0; e < exchanges.size(); ++e) {
        result.answers += exchanges[e].answers.size();
        for (std::size_t a = 0; a < found[e].size(); ++a) {
            result.findings.push_back(found[e][a].value_or(Finding{Outcome::Missing, e, exchanges[e].answers[a], {}}));
        }
        if (e >= sent_at.size()) continue;
        for (std::size_t i = begins[e]; i < begins[e + 1]; ++i) {
            Heard& h = heard[i];
            if (!h.answer || h.used) continue;
            h.used = true;
            result.findings.push_back(
                {Outcome::Unexpected, e, {}, RecordedAnswer{h.frame.frame, h.frame.at - sent_at[e]}});
        }
    }
    for (const Heard& h : heard) {
        if (!h.used) result.unexplained.push_back(h.frame);
    }
    return result;
}

std::string verdict(const CheckResult& result) {
    const std::size_t differences = result.differences();
    if (differences == 0) return "Hepsi eşleşti: " + std::to_string(result.answers) + " cevap";
    std::string text = std::to_string(differences) + " fark:";
    const char* separator = " ";
    for (const Outcome outcome : {Outcome::Missing, Outcome::Different, Outcome::Late, Outcome::Unexpected}) {
        if (const std::size_t n = result.count(outcome)) {
            text += separator + std::to_string(n) + " " + std::string(outcome_word(outcome));
            separator = ", ";
        }
    }
    return text;
}

std::string answer_text(const std::optional<RecordedAnswer>& answer) {
    return answer ? bytes_text(answer->frame) + " (" + delay_text(answer->delay) + ")" : "yok";
}

std::string finding_text(const Finding& finding, const Exchange& exchange) {
    return std::string(outcome_word(finding.outcome)) + ": satır " + std::to_string(exchange.line) + ", " +
           device_name(exchange.device, exchange.sent[5]) + ": beklenen " + answer_text(finding.expected) + ", gelen " +
           answer_text(finding.seen);
}

}  // namespace vela
