#pragma once
// DATA2 of every frame, by the device type that reads it, and the fixed
// parameter values that go with some of them. The same number stands for
// different commands on different types (34 is a hand terminal's scroll time
// and a main board's scroll delay), so each type has a table of its own.
#include "protocol/frame.h"

namespace vela::code {

// Parameters that are a fixed pattern instead of values (DATA3..DATA5).
struct Pattern {
    Byte data3;
    Byte data4;
    Byte data5;
};

namespace hand_terminal {
inline constexpr Byte kShowNumber = 2;
inline constexpr Byte kDisplayOff = 4;
inline constexpr Byte kDisplayDashes = 5;
inline constexpr Byte kDisplayOn = 6;
inline constexpr Byte kWaitingCount = 8;
inline constexpr Byte kNobodyWaiting = 9;
inline constexpr Byte kFlashCount = 31;
inline constexpr Byte kScrollTime = 34;
inline constexpr Byte kReset = 85;
inline constexpr Pattern kResetPattern{170, 85, 170};
inline constexpr Byte kNobodyWaitingMark = 85;  // DATA5 of "nobody waiting"
}  // namespace hand_terminal

namespace ticket_machine {
inline constexpr Byte kFirstTicket = 15;
inline constexpr Byte kSecondTicket = 17;
inline constexpr Byte kNoTicket = 18;
inline constexpr Byte kLoadTicketData = 23;
inline constexpr Byte kNoTicketMark = 85;  // DATA5 of "no ticket"
}  // namespace ticket_machine

// Commands to every device: DATA6 is 0 in the reset, the new address in the load.
namespace general {
inline constexpr Byte kGlobalReset = hand_terminal::kReset;
inline constexpr Byte kLoadAddress = 36;
inline constexpr Pattern kLoadAddressPattern{85, 170, 85};
}  // namespace general

namespace main_board {
inline constexpr Byte kKu = 27;  // DATA3 the KU, DATA4 kEnable or kDisable
inline constexpr Byte kArrow = 28;
inline constexpr Byte kScrollDelay = 34;
inline constexpr Byte kEnable = 1;
inline constexpr Byte kDisable = 0;
}  // namespace main_board

namespace chime {
inline constexpr Byte kChime = 29;  // DATA3 kOn or kOff, DATA6 0
inline constexpr Byte kOn = 1;
inline constexpr Byte kOff = 2;
}  // namespace chime

namespace dot_matrix {
inline constexpr Byte kCharacter = 20;
inline constexpr Byte kMode = 21;
inline constexpr Byte kArrow = 26;
inline constexpr Byte kBufferLength = 37;
inline constexpr Byte kFrequencies = 38;
inline constexpr Byte kBrightness = 39;
inline constexpr Byte kTextLength = 41;
}  // namespace dot_matrix

// The frames of a ticket layout sent to one ticket machine.
namespace ticket_transfer {
inline constexpr Byte kFont = 30;
inline constexpr Byte kInstitutionCharacter = 31;
inline constexpr Byte kButtonCharacter = 32;
}  // namespace ticket_transfer

// What the devices send and the monitor decodes.
namespace received {
inline constexpr Byte kAdvance = 1;
inline constexpr Byte kRepeatNumber = 3;
inline constexpr Byte kDisplayOff = 4;
inline constexpr Byte kDisplayDashes = 5;
inline constexpr Byte kDisplayOn = 6;
inline constexpr Byte kWaitingRequest = 7;
inline constexpr Byte kLearnGroup = 10;
inline constexpr Byte kChangeGroup = 12;
inline constexpr Byte kTicketRequest = 14;
inline constexpr Byte kAcknowledge = 16;
}  // namespace received

}  // namespace vela::code
