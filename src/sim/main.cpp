// vela-sim: a queue-ticket installation in software on the console's line.
#include <iostream>
#include <sstream>

#include "sim/path_file.h"
#include "sim/printable_output.h"
#include "sim/record_log.h"
#include "sim/replay_file.h"
#include "sim/script_file.h"
#include "sim/sim_line.h"
#include "sim/sim_options.h"
#include "sim/simulator.h"

using vela::Result;
using namespace vela::sim;

int main(int argc, char** argv) {
    PrintableOutput printable_out(std::cout);
    PrintableOutput printable_err(std::cerr);
    const Result<SimOptions> parsed = parse_sim_options(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed) {
        std::cerr << parsed.message() << "\n" << usage_text();
        return 2;
    }
    const SimOptions& options = *parsed;
    if (options.help) {
        std::cout << usage_text();
        return 0;
    }

    // A file to write that would destroy one to read, or the other written
    // file, is refused before anything is written.
    std::optional<std::string> refusal = overwritten_input(options);
    if (!refusal && options.path_file) refusal = path_file_refusal(*options.path_file);
    if (refusal) {
        std::cerr << *refusal << "\n";
        return 2;
    }
    std::istringstream script;
    if (options.script) {
        const Result<std::string> text = read_script_file(*options.script);
        if (!text) {
            std::cerr << text.message() << "\n";
            return 2;
        }
        script.str(*text);
    }
    std::vector<vela::RecordedDelivery> deliveries;
    if (options.replay) {
        Result<std::vector<vela::RecordedDelivery>> read = read_replay_file(*options.replay);
        if (!read) {
            std::cerr << read.message() << "\n";
            return 2;
        }
        deliveries = *read;
    }
    std::optional<RecordLog> log;
    if (options.log) {
        log.emplace(*options.log);
        if (!log->opened()) {
            std::cerr << log->failure() << "\n";
            return 2;
        }
    }

    const Result<SimLine> opened = options.device ? open_serial_device(*options.device, options.baud)
                                                  : open_pseudo_terminal();
    if (!opened) {
        std::cerr << opened.message() << "\n";
        return 1;
    }
    SimLine line = *opened;
    // The path file appears whole (renamed into place) before the line is
    // announced, so whoever waits for either finds the path complete.
    if (options.path_file) {
        if (const std::optional<std::string> failure = write_path_file(*options.path_file, line.path)) {
            std::cerr << *failure << "\n";
            return 1;
        }
    }
    if (options.device) {
        std::cout << "Hat açık: " << line.path << ", " << options.baud << " baud" << std::endl;
    } else {
        std::cout << "Hat hazır: " << line.path << std::endl;
    }

    Simulator simulator(options, line, std::cout, log ? &*log : nullptr);
    const int status = options.replay   ? simulator.run_replay(deliveries)
                       : options.script ? simulator.run_script(script)
                                        : simulator.run_interactive();
    close_line(line);
    return status;
}
