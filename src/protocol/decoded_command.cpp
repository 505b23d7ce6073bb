#include "protocol/decoded_command.h"

#include <algorithm>
#include <array>
#include <vector>

#include "protocol/command_codes.h"

namespace vela {
namespace {

namespace terminal = code::hand_terminal;
namespace ticket = code::ticket_machine;
namespace transfer = code::ticket_transfer;
namespace board = code::main_board;
namespace matrix = code::dot_matrix;

// A numbered device type and the codes it reads, in the order the types are
// tried.
struct DeviceType {
    Device device;
    std::vector<Byte> codes;
};

const std::array<DeviceType, 4> kTypes = {{
    {Device::HandTerminal,
     {terminal::kShowNumber, terminal::kDisplayOff, terminal::kDisplayDashes, terminal::kDisplayOn,
      terminal::kWaitingCount, terminal::kNobodyWaiting, terminal::kFlashCount, terminal::kScrollTime,
      terminal::kReset}},
    {Device::DotMatrix,
     {matrix::kCharacter, matrix::kMode, matrix::kArrow, matrix::kBufferLength, matrix::kFrequencies,
      matrix::kBrightness, matrix::kTextLength}},
    {Device::TicketMachine,
     {ticket::kFirstTicket, ticket::kSecondTicket, ticket::kNoTicket, ticket::kLoadTicketData, transfer::kFont,
      transfer::kInstitutionCharacter, transfer::kButtonCharacter}},
    {Device::MainBoard, {board::kKu, board::kArrow, board::kScrollDelay}},
}};

bool has_reset_pattern(const Frame& f) {
    constexpr code::Pattern p = terminal::kResetPattern;
    return f[2] == p.data3 && f[3] == p.data4 && f[4] == p.data5;
}

struct Addressee {
    Device device;
    bool in_range;
};

Addressee addressee_of(const Frame& f) {
    const Byte command = f[1];
    const Byte number = f[5];
    if (command == code::general::kGlobalReset && has_reset_pattern(f) && number == 0) return {Device::Everyone, true};
    if (command == code::general::kLoadAddress) return {Device::Everyone, true};
    if (command == code::chime::kChime) return {Device::Chime, number == 0};
    const DeviceType* first_reading = nullptr;
    for (const DeviceType& type : kTypes) {
        if (std::find(type.codes.begin(), type.codes.end(), command) == type.codes.end()) continue;
        if (command == terminal::kReset && !has_reset_pattern(f)) continue;
        if (address_range(type.device)->holds(number)) return {type.device, true};
        if (!first_reading) first_reading = &type;
    }
    if (first_reading) return {first_reading->device, false};
    return {Device::Unknown, false};
}

Command hand_terminal_command(const Frame& f) {
    switch (f[1]) {
    case terminal::kReset: return hand_terminal::Reset{};
    case terminal::kShowNumber: return hand_terminal::ShowNumber{join_two_bytes(f[2], f[3])};
    case terminal::kNobodyWaiting: return hand_terminal::NobodyWaiting{};
    case terminal::kWaitingCount: return hand_terminal::WaitingCount{join_two_bytes(f[2], f[3])};
    case terminal::kFlashCount: return hand_terminal::FlashCount{f[2]};
    case terminal::kDisplayOff: return hand_terminal::DisplayOff{};
    case terminal::kDisplayDashes: return hand_terminal::DisplayDashes{};
    case terminal::kDisplayOn: return hand_terminal::DisplayOn{};
    default: return hand_terminal::ScrollTime{f[3], f[2]};  // terminal::kScrollTime, seconds first
    }
}

Command ticket_machine_command(const Frame& f) {
    using ticket_machine::LineCharacter;
    switch (f[1]) {
    case ticket::kFirstTicket: return ticket_machine::FirstTicket{join_two_bytes(f[2], f[3]), f[4]};
    case ticket::kSecondTicket: return ticket_machine::SecondTicket{join_two_bytes(f[2], f[3]), f[4]};
    case ticket::kNoTicket: return ticket_machine::NoTicket{};
    case ticket::kLoadTicketData: return ticket_machine::LoadTicketData{f[2], f[3], f[4]};
    case transfer::kFont: return ticket_machine::FontSlot{f[2], f[3]};
    case transfer::kInstitutionCharacter: return LineCharacter{TicketElement::InstitutionName, f[2], f[3], f[4]};
    default: return LineCharacter{TicketElement::ButtonName, f[2], f[3], f[4]};  // transfer::kButtonCharacter
    }
}

Command dot_matrix_command(const Frame& f) {
    switch (f[1]) {
    case matrix::kCharacter: return dot_matrix::Character{f[3] + 1, f[4]};
    case matrix::kMode: return dot_matrix::DisplayMode{static_cast<dot_matrix::Mode>(f[2])};
    case matrix::kArrow: return dot_matrix::DirectionArrow{static_cast<Arrow>(f[2])};
    case matrix::kBufferLength: return dot_matrix::BufferLength{f[2]};
    case matrix::kFrequencies: return dot_matrix::Frequencies{f[2], f[3]};
    case matrix::kBrightness: return dot_matrix::Brightness{f[2]};
    default: return dot_matrix::TextLength{f[3]};  // matrix::kTextLength
    }
}

Command main_board_command(const Frame& f) {
    switch (f[1]) {
    case board::kKu: return main_board::Ku{f[2], f[3]};
    case board::kArrow: return main_board::KuArrow{f[2], static_cast<Arrow>(f[3])};
    default: return main_board::ScrollDelay{f[2]};  // board::kScrollDelay
    }
}

Command command_of(Device device, const Frame& f) {
    switch (device) {
    case Device::HandTerminal: return hand_terminal_command(f);
    case Device::TicketMachine: return ticket_machine_command(f);
    case Device::DotMatrix: return dot_matrix_command(f);
    case Device::MainBoard: return main_board_command(f);
    case Device::Chime: return chime::Switch{f[2]};
    case Device::Everyone:
        if (f[1] == code::general::kLoadAddress) return general::LoadAddress{f[5]};
        return general::GlobalReset{};
    case Device::Unknown: break;
    }
    return UnknownCommand{f[1]};
}

}  // namespace

std::optional<DecodedCommand> decode_command(const Frame& frame) {
    if (!is_frame(frame)) return std::nullopt;
    const Addressee to = addressee_of(frame);
    return DecodedCommand{to.device, frame[5], to.in_range, command_of(to.device, frame)};
}

}  // namespace vela
