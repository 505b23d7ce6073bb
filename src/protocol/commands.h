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
Frame reset(Byte terminal);                                  // 85: 170, 85, 170
Frame show_number(Byte terminal, std::uint16_t number);     // 2
Frame nobody_waiting(Byte terminal);                         // 9: 0, 0, 85
Frame waiting_count(Byte terminal, std::uint16_t waiting);  // 8
Frame flash_count(Byte terminal, Byte count);                // 31
Frame display_off(Byte terminal);                            // 4
Frame display_dashes(Byte terminal);                         // 5
Frame display_on(Byte terminal);                             // 6
Frame scroll_time(Byte terminal, Byte minutes, Byte seconds);  // 34: seconds, minutes
}  // namespace hand_terminal

namespace ticket_machine {
Frame first_ticket(Byte machine, std::uint16_t ticket_number, Byte which_ticket);  // 15
Frame second_ticket(Byte machine, std::uint16_t waiting, Byte repeats);            // 17
Frame no_ticket(Byte machine);                                                      // 18
Frame load_ticket_data(Byte machine, Byte data, Byte address, Byte sequence);      // 23
}  // namespace ticket_machine

namespace general {
Frame global_reset();               // 85 to every device
Frame load_address(Byte address);   // 36: 85, 170, 85, address
}  // namespace general

namespace main_board {
Frame ku_enable(Byte board, Byte ku);               // 27, DATA4 1
Frame ku_disable(Byte board, Byte ku);              // 27, DATA4 0
Frame arrow(Byte board, Byte ku, Arrow arrow);      // 28
Frame scroll_delay(Byte board, Byte seconds);       // 34
}  // namespace main_board

namespace chime {
Frame on();   // 29, 1
Frame off();  // 29, 2
}  // namespace chime

namespace dot_matrix {
// DATA3 of code 21: display control and text mode.
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
Frame mode(Byte id, Mode mode);                       // 21
Frame arrow(Byte id, Arrow arrow);                    // 26
Frame buffer_length(Byte id, Byte length);            // 37
Frame frequencies(Byte id, Byte static_text, Byte scrolling_text);  // 38
Frame brightness(Byte id, Byte brightness);           // 39

// "Karakterleri Gönder": display off, 200 ms, one frame per character with
// 20 ms after each, a further 200 ms, display on, 20 ms, the text length.
// Refused when the text has more than 255 characters
// ("Metin 255 karakterden uzun olamaz!") or a character without a
// Windows-1254 code.
Result<Sequence> text_transfer(Byte id, std::string_view utf8_text);
}  // namespace dot_matrix

}  // namespace vela
