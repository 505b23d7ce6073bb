#pragma once
// What each device of the simulated installation holds after the frames the
// console has sent it. Values stay empty until a frame sets them.
#include <array>
#include <map>
#include <optional>
#include <string>

#include "protocol/decoded_command.h"
#include "protocol/ticket.h"

namespace vela::sim {

struct HandTerminalState {
    enum class Display { Unknown, On, Off, Dashes };
    std::optional<int> number;
    std::optional<int> waiting;  // 0 after "nobody waiting"
    std::optional<int> flash_count;
    std::optional<int> scroll_minutes;
    std::optional<int> scroll_seconds;
    Display display = Display::Unknown;
    int resets = 0;
};

struct TicketMachineState {
    struct DataLoad {
        Byte data;
        Byte sequence;
    };

    std::optional<ticket_machine::FirstTicket> first_ticket;
    std::optional<ticket_machine::SecondTicket> second_ticket;
    int no_ticket_count = 0;
    std::map<Byte, DataLoad> data_loads;  // by address
    std::array<LineSlot, kInstitutionLines> institution{};
    std::array<LineSlot, kButtonLines> button{};
    bool layout_received = false;
    std::array<std::optional<Byte>, kFontSlots> fonts;  // slots 1..8
};

struct DotMatrixState {
    std::array<Byte, 256> buffer{};
    int written_up_to = 0;  // one past the highest position written
    std::optional<int> text_length;
    std::optional<Byte> mode;
    std::optional<Byte> arrow;
    std::optional<Byte> brightness;
    std::optional<Byte> buffer_length;
    std::optional<Byte> static_frequency;
    std::optional<Byte> scrolling_frequency;

    // The text the display holds: as long as the last text length says, else
    // up to the highest position written.
    std::string text() const;
};

struct MainBoardState {
    std::map<Byte, bool> ku_enabled;  // by KU number
    std::map<Byte, Byte> arrows;      // by KU number
    std::optional<int> scroll_delay;
};

}  // namespace vela::sim
