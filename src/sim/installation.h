#pragma once
// The simulated installation: every device the console has addressed, with
// the state its frames have given it.
#include <map>
#include <optional>
#include <string>

#include "protocol/decoded_command.h"
#include "sim/device_state.h"

namespace vela::sim {

class Installation {
public:
    // Applies one command from the console to the device it addresses; a
    // code no device type reads changes nothing.
    void apply(const DecodedCommand& decoded);

    // The "durum" printout; a ticket machine's ticket as it would be printed.
    std::string status_text() const;

private:
    std::map<Byte, HandTerminalState> hand_terminals_;
    std::map<Byte, TicketMachineState> ticket_machines_;
    std::map<Byte, DotMatrixState> dot_matrices_;
    std::map<Byte, MainBoardState> main_boards_;
    std::optional<bool> chime_on_;
    int global_resets_ = 0;
    std::optional<Byte> loaded_address_;
};

}  // namespace vela::sim
