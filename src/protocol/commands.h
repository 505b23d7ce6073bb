#pragma once
// The frames of every command button, from the whole-number values of its
// fields. DATA7 is always Kontrol_Toplami of DATA1..DATA6.
#include <cstdint>
#include <string_view>

#include "protocol/frame.h"
#include "protocol/result.h"

namespace vela {

// Direction arrows of main boards and dot-matrix displays (DATA3 or DATA4).
enum class Arrow : Byte { Up = 1, Down = 2, Right = 3, Left = 4, Off = 5 };

namespace hand_terminal {
Frame reset(Byte terminal);  // the reset pattern as parameters
Frame show_number(Byte terminal, std::uint16_t number);
Frame nobody_waiting(Byte terminal);
Frame waiting_count(Byte terminal, std::uint16_t waiting);
Frame flash_count(Byte terminal, Byte count);
Frame display_off(Byte terminal);
Frame display_dashes(Byte terminal);
Frame display_on(Byte terminal);
Frame scroll_time(Byte terminal, Byte minutes, Byte seconds);  // goes out seconds first
}  // namespace hand_terminal

namespace ticket_machine {
Frame first_ticket(Byte machine, std::uint16_t ticket_number, Byte which_ticket);
Frame second_ticket(Byte machine, std::uint16_t waiting, Byte repeats);
Frame no_ticket(Byte machine);
Frame load_ticket_data(Byte machine, Byte data, Byte address, Byte sequence);
}  // namespace ticket_machine

namespace general {
Frame global_reset();              // the hand-terminal reset to device 0
Frame load_address(Byte address);  // the address in DATA6
}  // namespace general

namespace main_board {
Frame ku_enable(Byte board, Byte ku);
Frame ku_disable(Byte board, Byte ku);
Frame arrow(Byte board, Byte ku, Arrow arrow);
Frame scroll_delay(Byte board, Byte seconds);
}  // namespace main_board

namespace chime {
Frame on();
Frame off();
}  // namespace chime

namespace dot_matrix {
// DATA3 of the mode command: display control and text mode.
enum class Mode : Byte {
    FlashOnChimeOn = 1,
    FlashOnChimeOff = 2,
    FlashOffChimeOn = 3,
    DisplayOn = 4,
    DisplayOff = 5,
    StaticTextAfterAWhile = 6,
    ScrollingTextAfterAWhile = 7,
    StaticTextContinuously = 8,
    ScrollingTextContinuously = 9,
};
Frame mode(Byte id, Mode mode);
Frame arrow(Byte id, Arrow arrow);
Frame buffer_length(Byte id, Byte length);
Frame frequencies(Byte id, Byte static_text, Byte scrolling_text);
Frame brightness(Byte id, Byte brightness);

// "Karakterleri Gönder": display off, 200 ms, one frame per character with
// 20 ms after each and 200 ms more after the last, display on, 20 ms, the
// text length. Refused when the text has more than 255 characters
// ("Metin 255 karakterden uzun olamaz!") or a character without a
// Windows-1254 code.
Result<Sequence> text_transfer(Byte id, std::string_view utf8_text);
}  // namespace dot_matrix

}  // namespace vela
