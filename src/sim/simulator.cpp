#include "sim/simulator.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <istream>
#include <limits>
#include <ostream>
#include <thread>

#include "sim/replay_plan.h"

namespace vela::sim {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Bytes held this long without more arriving form no frame.
constexpr milliseconds kQuiet{200};
// After a script the line is served until it has been quiet this long.
constexpr milliseconds kScriptDrain{300};
// A replay wait longer than this is announced.
constexpr std::chrono::seconds kLongWait{5};

std::string time_of_day() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
    return text;
}

LocalTime local_now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm t{};
    localtime_r(&seconds, &t);
    const auto millis = std::chrono::duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, static_cast<int>(millis)};
}

int poll_timeout(Clock::time_point deadline) {
    if (deadline == Clock::time_point::max()) return -1;
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    // A longer wait is polled again: the loop around the poll ends at the deadline.
    return static_cast<int>(std::clamp<std::int64_t>(left + 1, 0, std::numeric_limits<int>::max()));
}

// `from` + `wait`, the latest time point there is rather than a wrap into the past.
Clock::time_point later_by(Clock::time_point from, std::chrono::nanoseconds wait) {
    const auto room = Clock::time_point::max() - from;
    return wait >= room ? Clock::time_point::max() : from + std::chrono::duration_cast<Clock::duration>(wait);
}

}  // namespace

Simulator::Simulator(const SimOptions& options, const SimLine& line, std::ostream& out, RecordLog* log)
    : options_(options),
      line_(line),
      out_(out),
      log_(log),
      session_([this](const std::string& text) { write_traffic(text); },
               [this](RecordEvent event, std::span<const Byte> bytes, std::string_view device,
                      std::string_view meaning) { write_record(event, bytes, device, meaning); }),
      answers_(options.answers) {
    if (log_ && !log_->write_line(kRecordHeader)) out_ << log_->failure() << std::endl;
}

void Simulator::write_traffic(const std::string& line) {
    const std::string stamped = options_.with_time ? time_of_day() + " " + line : line;
    out_ << stamped << std::endl;
}

void Simulator::write_record(RecordEvent event, std::span<const Byte> bytes, std::string_view device,
                             std::string_view meaning) {
    if (!log_ || !log_->failure().empty()) return;
    const std::optional<LocalTime> time = options_.with_time ? std::optional(local_now()) : std::nullopt;
    if (!log_->write_line(record_line(time, event, bytes, device, meaning))) out_ << log_->failure() << std::endl;
}

bool Simulator::log_failed() const { return log_ && !log_->failure().empty(); }

bool Simulator::read_line() {
    Byte buffer[4096];
    for (;;) {
        const ssize_t n = ::read(line_.fd, buffer, sizeof buffer);
        if (n > 0) {
            session_.received(std::span<const Byte>(buffer, static_cast<std::size_t>(n)));
            last_received_ = Clock::now();
            for (const DecodedCommand& command : session_.take_commands()) answers_.addressed(command, last_received_);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
        out_ << "Hat kapandı: " << line_.path << std::endl;
        return false;
    }
}

bool Simulator::serve_until(Clock::time_point deadline, bool watch_input) {
    for (;;) {
        if (log_failed()) return false;
        Clock::time_point wake = deadline;
        if (session_.holds_bytes()) wake = std::min(wake, last_received_ + kQuiet);
        if (const auto due = answers_.next_due()) wake = std::min(wake, *due);
        pollfd fds[2] = {{line_.fd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        const int ready = ::poll(fds, watch_input ? 2 : 1, poll_timeout(wake));
        if (ready < 0 && errno != EINTR) return false;
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            if (!read_line()) return false;
        }
        if (session_.holds_bytes() && Clock::now() >= last_received_ + kQuiet) session_.line_quiet();
        if (!send_due_answers()) return false;
        if (watch_input && fds[1].revents) return true;
        if (Clock::now() >= deadline) return true;
    }
}

bool Simulator::send_due_answers() {
    for (const Frame& answer : answers_.take_due(Clock::now())) {
        const std::vector<Byte> bytes(answer.begin(), answer.end());
        if (!write_bytes(line_.fd, bytes, options_.byte_gap)) {
            out_ << "Hatta yazılamadı: " << line_.path << std::endl;
            return false;
        }
        session_.sent(SendBytes{bytes, is_frame(answer)});
    }
    return !log_failed();
}

bool Simulator::serve_until_quiet() {
    do {
        if (!serve_until(Clock::now() + kScriptDrain, false)) return false;
    } while (Clock::now() - last_received_ < kScriptDrain || answers_.next_due());
    session_.line_quiet();
    return !log_failed();
}

Simulator::Outcome Simulator::execute(const std::string& text, const std::string& refusal_prefix) {
    const Result<PromptCommand> command = parse_prompt_line(text);
    if (!command) {
        out_ << refusal_prefix << command.message() << std::endl;
        return Outcome::Refused;
    }
    if (const auto* send = std::get_if<SendBytes>(&*command)) {
        const milliseconds gap = send->is_frame ? options_.byte_gap : milliseconds{0};
        if (!write_bytes(line_.fd, send->bytes, gap)) {
            out_ << "Hatta yazılamadı: " << line_.path << std::endl;
            return Outcome::Stopped;
        }
        session_.sent(*send);
        if (log_failed()) return Outcome::Stopped;
    } else if (std::holds_alternative<ShowStatus>(*command)) {
        out_ << session_.installation().status_text() << std::flush;
    } else if (std::holds_alternative<ShowHelp>(*command)) {
        out_ << help_text() << std::flush;
    } else if (const auto* wait = std::get_if<Wait>(&*command)) {
        if (!serve_until(later_by(Clock::now(), wait->duration), false)) return Outcome::Stopped;
    } else if (std::holds_alternative<Quit>(*command)) {
        return Outcome::Quit;
    }
    return Outcome::Continue;
}

int Simulator::run_interactive() {
    std::string pending;
    for (;;) {
        if (!serve_until(Clock::time_point::max(), true)) return 1;
        char buffer[1024];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) break;
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string text = pending.substr(0, end);
            pending.erase(0, end + 1);
            const Outcome outcome = execute(text, "");
            if (outcome == Outcome::Quit) {
                session_.line_quiet();
                return log_failed() ? 1 : 0;
            }
            if (outcome == Outcome::Stopped) return 1;
        }
    }
    session_.line_quiet();
    return log_failed() ? 1 : 0;
}

int Simulator::run_script(std::istream& script) {
    bool refused = false;
    int number = 0;
    for (std::string text; std::getline(script, text);) {
        ++number;
        // What has arrived so far is reported before the command's own line.
        if (!serve_until(Clock::now(), false)) return 1;
        const Outcome outcome = execute(text, "Betik satır " + std::to_string(number) + ": ");
        if (outcome == Outcome::Refused) refused = true;
        if (outcome == Outcome::Stopped) return 1;
        if (outcome == Outcome::Quit) break;
    }
    if (!serve_until_quiet()) return 1;
    return refused ? 1 : 0;
}

int Simulator::run_replay(const std::vector<RecordedDelivery>& deliveries) {
    out_ << "Oynatılacak " << deliveries.size() << " teslim; başlatmak için Enter." << std::endl;
    if (!serve_until(Clock::time_point::max(), true)) return 1;
    char ignored[256];
    while (::read(STDIN_FILENO, ignored, sizeof ignored) == sizeof ignored) {
    }
    const std::vector<ReplayStep> plan = replay_plan(deliveries, options_.speed, options_.max_gap);
    Clock::time_point due = Clock::now();
    for (std::size_t i = 0; i < deliveries.size(); ++i) {
        if (!plan[i].notice.empty()) write_traffic(plan[i].notice);
        if (plan[i].wait > kLongWait) write_traffic(waiting_notice(i, deliveries.size(), plan[i].wait));
        due = later_by(due, plan[i].wait);
        if (!serve_until(due, false)) return 1;
        if (!write_bytes(line_.fd, deliveries[i].bytes, options_.byte_gap)) {
            out_ << "Hatta yazılamadı: " << line_.path << std::endl;
            return 1;
        }
        session_.sent(SendBytes{deliveries[i].bytes, false});
    }
    return serve_until_quiet() ? 0 : 1;
}

}  // namespace vela::sim
