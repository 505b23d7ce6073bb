#pragma once
// A command frame from the console read back: the device type it addresses,
// the device's number and the command with its parameters, the inverse of the
// builders in commands.h and of the ticket transfer's frames. The same code
// means different commands on different types, so the type is chosen by the
// code and DATA6 together.
#include <cstdint>
#include <optional>
#include <variant>

#include "protocol/commands.h"
#include "protocol/device_name.h"
#include "protocol/ticket.h"

namespace vela {

namespace hand_terminal {
struct Reset {
    bool operator==(const Reset&) const = default;
};
struct ShowNumber {
    std::uint16_t number;
    bool operator==(const ShowNumber&) const = default;
};
struct NobodyWaiting {
    bool operator==(const NobodyWaiting&) const = default;
};
struct WaitingCount {
    std::uint16_t waiting;
    bool operator==(const WaitingCount&) const = default;
};
struct FlashCount {
    Byte count;
    bool operator==(const FlashCount&) const = default;
};
struct DisplayOff {
    bool operator==(const DisplayOff&) const = default;
};
struct DisplayDashes {
    bool operator==(const DisplayDashes&) const = default;
};
struct DisplayOn {
    bool operator==(const DisplayOn&) const = default;
};
struct ScrollTime {
    Byte minutes;
    Byte seconds;
    bool operator==(const ScrollTime&) const = default;
};
}  // namespace hand_terminal

namespace ticket_machine {
struct FirstTicket {
    std::uint16_t ticket_number;
    Byte which_ticket;
    bool operator==(const FirstTicket&) const = default;
};
struct SecondTicket {
    std::uint16_t waiting;
    Byte repeats;
    bool operator==(const SecondTicket&) const = default;
};
struct NoTicket {
    bool operator==(const NoTicket&) const = default;
};
struct LoadTicketData {
    Byte data;
    Byte address;
    Byte sequence;
    bool operator==(const LoadTicketData&) const = default;
};
// The ticket transfer: a font slot (1..8 are the ticket's; others are
// carried as they came) and one byte of a name's line slot.
struct FontSlot {
    Byte slot;
    Byte value;
    bool operator==(const FontSlot&) const = default;
};
struct LineCharacter {
    TicketElement element;  // InstitutionName or ButtonName
    Byte line;              // the line slot, counted from 0
    Byte position;          // in the slot, counted from 0
    Byte code;
    bool operator==(const LineCharacter&) const = default;
};
}  // namespace ticket_machine

namespace general {
struct GlobalReset {
    bool operator==(const GlobalReset&) const = default;
};
struct LoadAddress {
    Byte address;
    bool operator==(const LoadAddress&) const = default;
};
}  // namespace general

namespace main_board {
struct Ku {
    Byte ku;
    Byte state;  // code::main_board::kEnable, kDisable, or any other value as it came
    bool operator==(const Ku&) const = default;
};
struct KuArrow {
    Byte ku;
    Arrow arrow;  // any byte, as it came
    bool operator==(const KuArrow&) const = default;
};
struct ScrollDelay {
    Byte seconds;
    bool operator==(const ScrollDelay&) const = default;
};
}  // namespace main_board

namespace chime {
struct Switch {
    Byte state;  // code::chime::kOn, kOff, or any other value as it came
    bool operator==(const Switch&) const = default;
};
}  // namespace chime

namespace dot_matrix {
struct Character {
    int position;  // counted from 1, as Karakter_Cercevesi takes it
    Byte code;
    bool operator==(const Character&) const = default;
};
struct DisplayMode {
    Mode mode;  // any byte, as it came
    bool operator==(const DisplayMode&) const = default;
};
struct DirectionArrow {
    Arrow arrow;  // any byte, as it came
    bool operator==(const DirectionArrow&) const = default;
};
struct BufferLength {
    Byte length;
    bool operator==(const BufferLength&) const = default;
};
struct Frequencies {
    Byte static_text;
    Byte scrolling_text;
    bool operator==(const Frequencies&) const = default;
};
struct Brightness {
    Byte brightness;
    bool operator==(const Brightness&) const = default;
};
struct TextLength {
    Byte length;
    bool operator==(const TextLength&) const = default;
};
}  // namespace dot_matrix

// A code no device type reads.
struct UnknownCommand {
    Byte code;
    bool operator==(const UnknownCommand&) const = default;
};

using Command = std::variant<
    hand_terminal::Reset, hand_terminal::ShowNumber, hand_terminal::NobodyWaiting, hand_terminal::WaitingCount,
    hand_terminal::FlashCount, hand_terminal::DisplayOff, hand_terminal::DisplayDashes, hand_terminal::DisplayOn,
    hand_terminal::ScrollTime, ticket_machine::FirstTicket, ticket_machine::SecondTicket, ticket_machine::NoTicket,
    ticket_machine::LoadTicketData, ticket_machine::FontSlot, ticket_machine::LineCharacter, general::GlobalReset,
    general::LoadAddress, main_board::Ku, main_board::KuArrow, main_board::ScrollDelay, chime::Switch,
    dot_matrix::Character, dot_matrix::DisplayMode, dot_matrix::DirectionArrow, dot_matrix::BufferLength,
    dot_matrix::Frequencies, dot_matrix::Brightness, dot_matrix::TextLength, UnknownCommand>;

struct DecodedCommand {
    Device device;
    Byte number;    // DATA6
    bool in_range;  // the number lies in the device type's range
    Command command;
    bool operator==(const DecodedCommand&) const = default;
};

// The first type that reads the code and whose range holds DATA6; when none
// holds it, the first type that reads the code, marked out of range. The
// chime and the commands to every device have no range. Nothing for bytes
// that are not a valid frame.
std::optional<DecodedCommand> decode_command(const Frame& frame);

// For std::visit on a Command: one lambda per alternative.
template <class... Lambdas>
struct overloaded : Lambdas... {
    using Lambdas::operator()...;
};

}  // namespace vela
