#pragma once
// The running simulator: serves the line while it carries out the commands
// typed at its prompt or read from a script. A record that cannot be written
// stops it: the run would go on without the evidence it was asked for.
#include <chrono>
#include <iosfwd>
#include <string>
#include <vector>

#include "record/record_reader.h"
#include "sim/auto_answer.h"
#include "sim/record_log.h"
#include "sim/session.h"
#include "sim/sim_line.h"
#include "sim/sim_options.h"

namespace vela::sim {

class Simulator {
public:
    Simulator(const SimOptions& options, const SimLine& line, std::ostream& out, RecordLog* log);

    // Commands from standard input until "cikis" or its end. Exit status.
    int run_interactive();
    // Commands from a script; the line is served until it has been quiet a
    // while after the last command. Exit status: 1 when a line was refused.
    int run_script(std::istream& script);
    // Plays the deliveries onto the line with their recorded gaps divided by
    // the speed (see replay_plan), starting when a line (or the end) comes on
    // standard input, then serves the line until it is quiet. Exit status.
    int run_replay(const std::vector<RecordedDelivery>& deliveries);

private:
    enum class Outcome { Continue, Refused, Quit, Stopped };

    Outcome execute(const std::string& text, const std::string& refusal_prefix);
    // Serves the line until `deadline`, or until standard input is readable
    // when `watch_input` is set. False when the line is lost or the record
    // could not be written.
    bool serve_until(std::chrono::steady_clock::time_point deadline, bool watch_input);
    bool serve_until_quiet();
    // Sends the test bench's answers that are due. False when the line is lost.
    bool send_due_answers();
    bool log_failed() const;
    bool read_line();
    void write_traffic(const std::string& line);
    void write_record(RecordEvent event, std::span<const Byte> bytes, std::string_view device,
                      std::string_view meaning);

    const SimOptions& options_;
    SimLine line_;
    std::ostream& out_;
    RecordLog* log_;
    Session session_;
    AutoAnswers answers_;
    std::chrono::steady_clock::time_point last_received_{};
};

}  // namespace vela::sim
