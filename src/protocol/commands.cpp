#include "protocol/commands.h"

#include "protocol/cp1254.h"

namespace vela {
namespace {

Byte code_of(Arrow arrow) { return static_cast<Byte>(arrow); }

}  // namespace

namespace hand_terminal {

Frame reset(Byte terminal) {
    return Komut_Cercevesi(85, 170, 85, 170, terminal);
}

Frame show_number(Byte terminal, std::uint16_t number) {
    const TwoBytes n = split_two_bytes(number);
    return Komut_Cercevesi(2, n.low, n.high, 0, terminal);
}

Frame nobody_waiting(Byte terminal) { return Komut_Cercevesi(9, 0, 0, 85, terminal); }

Frame waiting_count(Byte terminal, std::uint16_t waiting) {
    const TwoBytes w = split_two_bytes(waiting);
    return Komut_Cercevesi(8, w.low, w.high, 0, terminal);
}

Frame flash_count(Byte terminal, Byte count) { return Komut_Cercevesi(31, count, 0, 0, terminal); }
Frame display_off(Byte terminal) { return Komut_Cercevesi(4, 0, 0, 0, terminal); }
Frame display_dashes(Byte terminal) { return Komut_Cercevesi(5, 0, 0, 0, terminal); }
Frame display_on(Byte terminal) { return Komut_Cercevesi(6, 0, 0, 0, terminal); }

// The scroll time goes out seconds first.
Frame scroll_time(Byte terminal, Byte minutes, Byte seconds) {
    return Komut_Cercevesi(34, seconds, minutes, 0, terminal);
}

}  // namespace hand_terminal

namespace ticket_machine {

Frame first_ticket(Byte machine, std::uint16_t ticket_number, Byte which_ticket) {
    const TwoBytes n = split_two_bytes(ticket_number);
    return Komut_Cercevesi(15, n.low, n.high, which_ticket, machine);
}

Frame second_ticket(Byte machine, std::uint16_t waiting, Byte repeats) {
    const TwoBytes w = split_two_bytes(waiting);
    return Komut_Cercevesi(17, w.low, w.high, repeats, machine);
}

Frame no_ticket(Byte machine) { return Komut_Cercevesi(18, 0, 0, 85, machine); }

Frame load_ticket_data(Byte machine, Byte data, Byte address, Byte sequence) {
    return Komut_Cercevesi(23, data, address, sequence, machine);
}

}  // namespace ticket_machine

namespace general {

// The hand-terminal reset pattern, addressed to every device.
Frame global_reset() { return hand_terminal::reset(0); }

Frame load_address(Byte address) {
    return Komut_Cercevesi(36, 85, 170, 85, address);
}

}  // namespace general

namespace main_board {

Frame ku_enable(Byte board, Byte ku) { return Komut_Cercevesi(27, ku, 1, 0, board); }
Frame ku_disable(Byte board, Byte ku) { return Komut_Cercevesi(27, ku, 0, 0, board); }
Frame arrow(Byte board, Byte ku, Arrow arrow) {
    return Komut_Cercevesi(28, ku, code_of(arrow), 0, board);
}
Frame scroll_delay(Byte board, Byte seconds) { return Komut_Cercevesi(34, seconds, 0, 0, board); }

}  // namespace main_board

namespace chime {

Frame on() { return Komut_Cercevesi(29, 1, 0, 0, 0); }
Frame off() { return Komut_Cercevesi(29, 2, 0, 0, 0); }

}  // namespace chime

namespace dot_matrix {

Frame mode(Byte id, Mode mode) { return Komut_Cercevesi(21, static_cast<Byte>(mode), 0, 0, id); }
Frame arrow(Byte id, Arrow arrow) { return Komut_Cercevesi(26, code_of(arrow), 0, 0, id); }
Frame buffer_length(Byte id, Byte length) { return Komut_Cercevesi(37, length, 0, 0, id); }
Frame frequencies(Byte id, Byte static_text, Byte scrolling_text) {
    return Komut_Cercevesi(38, static_text, scrolling_text, 0, id);
}
Frame brightness(Byte id, Byte brightness) { return Komut_Cercevesi(39, brightness, 0, 0, id); }

Result<Sequence> text_transfer(Byte id, std::string_view utf8_text) {
    using std::chrono::milliseconds;
    constexpr milliseconds kSettle{200};
    constexpr milliseconds kPerFrame{20};
    constexpr std::size_t kMaxCharacters = 255;  // positions and the length are one byte

    const std::u32string characters = utf8_characters(utf8_text);
    if (characters.size() > kMaxCharacters) return Refusal{"Metin 255 karakterden uzun olamaz!"};
    // Every code is known before the first frame goes out.
    const Result<std::vector<Byte>> codes = encode_cp1254_characters(characters);
    if (!codes) return Refusal{codes.message()};

    Sequence steps;
    steps.push_back({mode(id, Mode::DisplayOff), kSettle});
    for (std::size_t k = 0; k < codes->size(); ++k) {
        steps.push_back({Karakter_Cercevesi((*codes)[k], static_cast<int>(k) + 1, id), kPerFrame});
    }
    // The further wait before the display comes back on.
    steps.back().pause_after += kSettle;
    steps.push_back({mode(id, Mode::DisplayOn), kPerFrame});
    steps.push_back({Komut_Cercevesi(41, 0, static_cast<Byte>(codes->size()), 0, id), milliseconds{0}});
    return steps;
}

}  // namespace dot_matrix

}  // namespace vela
