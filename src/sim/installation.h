#pragma once
// The simulated installation: every device the console has addressed, with
// the state its frames have given it.
#include <map>
#include <optional>
#include <string>

#include "sim/device_state.h"

namespace vela::sim {

class Installation {
public:
    // Applies one valid frame from the console to the device it addresses;
    // a frame no device type knows changes nothing.
    void apply(const Frame& frame);

    // The "durum" printout; a ticket machine's ticket as it would be printed.
    std::string status_text() const;

private:
    void apply_hand_terminal(HandTerminalState& terminal, const Frame& frame);
    void apply_ticket_machine(TicketMachineState& machine, const Frame& frame);
    void apply_dot_matrix(DotMatrixState& display, const Frame& frame);
    void apply_main_board(MainBoardState& board, const Frame& frame);
    void apply_general(const Frame& frame);

    std::map<Byte, HandTerminalState> hand_terminals_;
    std::map<Byte, TicketMachineState> ticket_machines_;
    std::map<Byte, DotMatrixState> dot_matrices_;
    std::map<Byte, MainBoardState> main_boards_;
    std::optional<bool> chime_on_;
    int global_resets_ = 0;
    std::optional<Byte> loaded_address_;
};

}  // namespace vela::sim
