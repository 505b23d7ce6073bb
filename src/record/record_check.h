#pragma once
// A run checked against a saved record: the record's exchanges (each frame
// the console sent, with the answers recorded after it by the answer rule
// and their delays) are compared, frame by frame, with what a live run sent
// and heard. Each recorded answer is matched, missing, different (the same
// number answered with other bytes) or late (only in a later interval, or
// beyond its recorded delay plus a tolerance); an answer the record does not
// have is unexpected. A frame no sent frame explains, such as a key pressed
// on a hand terminal, is listed and not judged.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/device_name.h"
#include "protocol/frame.h"
#include "record/answer_rule.h"
#include "record/record_reader.h"

namespace vela {

using CheckTime = AnswerRule::Time;
inline constexpr std::chrono::milliseconds kDefaultTolerance{250};

struct TimedFrame {
    Frame frame{};
    CheckTime at{};
};

struct RecordedAnswer {
    Frame frame{};
    CheckTime delay{};
};

struct Exchange {
    std::size_t line = 0;  // of the sent frame in the record
    Frame sent{};
    Device device = Device::Unknown;
    std::vector<RecordedAnswer> answers;
};

// The exchanges of a record, from the frames SentFramesReader hands on, sent
// and recognised, in line order. A line without a time stands at the time of
// the line before it.
class ExchangeBuilder {
public:
    explicit ExchangeBuilder(CheckTime window = AnswerRule::kDefaultWindow) : rule_(window) {}
    void sent(const RecordedFrame& frame);
    void recognised(std::optional<std::int64_t> at_ms, const Frame& frame);
    std::vector<Exchange> take() { return std::move(exchanges_); }

private:
    void at(std::optional<std::int64_t> at_ms);

    AnswerRule rule_;
    CheckTime now_{};
    std::vector<Exchange> exchanges_;
};

enum class Outcome { Matched, Missing, Different, Late, Unexpected };
// "eşleşti", "eksik", "farklı", "geç", "beklenmeyen".
std::string_view outcome_word(Outcome outcome);

struct Finding {
    Outcome outcome = Outcome::Matched;
    std::size_t exchange = 0;
    std::optional<RecordedAnswer> expected;  // none for an unexpected answer
    std::optional<RecordedAnswer> seen;      // none for a missing one; a late one's delay from its own frame
};

struct CheckResult {
    std::vector<Finding> findings;  // by exchange, recorded answers in order, then the unexpected
    std::vector<TimedFrame> unexplained;
    std::size_t answers = 0;  // recorded
    std::size_t count(Outcome outcome) const;
    std::size_t differences() const { return answers + count(Outcome::Unexpected) - count(Outcome::Matched); }
};

struct CheckSettings {
    CheckTime tolerance = kDefaultTolerance;
    CheckTime window = AnswerRule::kDefaultWindow;
};

// `sent_at`: when each exchange's frame went out in the run, as many as went
// (any beyond the exchanges are not looked at);
// `received`: the frames recognised in the run, in time order. The answers of
// frames the run did not send are missing.
CheckResult check_run(const std::vector<Exchange>& exchanges, const std::vector<CheckTime>& sent_at,
                      const std::vector<TimedFrame>& received, const CheckSettings& settings = {});

// "Hepsi eşleşti: 38 cevap", "3 fark: 2 eksik, 1 farklı".
std::string verdict(const CheckResult& result);

// An answer and its delay, "170 16 0 0 0 5 191 (30 ms)"; "yok" for none.
std::string answer_text(const std::optional<RecordedAnswer>& answer);
// One finding on a line, for the record and the terminal:
// "eksik: satır 12, El Terminali 5: beklenen 170 16 0 0 0 5 191 (30 ms), gelen yok".
std::string finding_text(const Finding& finding, const Exchange& exchange);

}  // namespace vela
