#include "protocol/commands.h"

#include "protocol/command_codes.h"
#include "protocol/cp1254.h"

namespace vela {
namespace {

Byte code_of(Arrow arrow) { return static_cast<Byte>(arrow); }

Frame pattern_frame(Byte command, code::Pattern pattern, Byte device) {
    return Komut_Cercevesi(command, pattern.data3, pattern.data4, pattern.data5, device);
}

}  // namespace

namespace hand_terminal {

Frame reset(Byte terminal) {
    return pattern_frame(code::hand_terminal::kReset, code::hand_terminal::kResetPattern, terminal);
}

Frame show_number(Byte terminal, std::uint16_t number) {
    const TwoBytes n = split_two_bytes(number);
    return Komut_Cercevesi(code::hand_terminal::kShowNumber, n.low, n.high, 0, terminal);
}

Frame nobody_waiting(Byte terminal) {
    return Komut_Cercevesi(code::hand_terminal::kNobodyWaiting, 0, 0, code::hand_terminal::kNobodyWaitingMark,
                           terminal);
}

Frame waiting_count(Byte terminal, std::uint16_t waiting) {
    const TwoBytes w = split_two_bytes(waiting);
    return Komut_Cercevesi(code::hand_terminal::kWaitingCount, w.low, w.high, 0, terminal);
}

Frame flash_count(Byte terminal, Byte count) {
    return Komut_Cercevesi(code::hand_terminal::kFlashCount, count, 0, 0, terminal);
}
Frame display_off(Byte terminal) { return Komut_Cercevesi(code::hand_terminal::kDisplayOff, 0, 0, 0, terminal); }
Frame display_dashes(Byte terminal) { return Komut_Cercevesi(code::hand_terminal::kDisplayDashes, 0, 0, 0, terminal); }
Frame display_on(Byte terminal) { return Komut_Cercevesi(code::hand_terminal::kDisplayOn, 0, 0, 0, terminal); }

// The scroll time goes out seconds first.
Frame scroll_time(Byte terminal, Byte minutes, Byte seconds) {
    return Komut_Cercevesi(code::hand_terminal::kScrollTime, seconds, minutes, 0, terminal);
}

}  // namespace hand_terminal

namespace ticket_machine {

Frame first_ticket(Byte machine, std::uint16_t ticket_number, Byte which_ticket) {
    const TwoBytes n = split_two_bytes(ticket_number);
    return Komut_Cercevesi(code::ticket_machine::kFirstTicket, n.low, n.high, which_ticket, machine);
}

Frame second_ticket(Byte machine, std::uint16_t waiting, Byte repeats) {
    const TwoBytes w = split_two_bytes(waiting);
    return Komut_Cercevesi(code::ticket_machine::kSecondTicket, w.low, w.high, repeats, machine);
}

Frame no_ticket(Byte machine) {
    return Komut_Cercevesi(code::ticket_machine::kNoTicket, 0, 0, code::ticket_machine::kNoTicketMark, machine);
}

Frame load_ticket_data(Byte machine, Byte data, Byte address, Byte sequence) {
    return Komut_Cercevesi(code::ticket_machine::kLoadTicketData, data, address, sequence, machine);
}

}  // namespace ticket_machine

namespace general {

// The hand-terminal reset pattern, addressed to every device.
Frame global_reset() { return hand_terminal::reset(0); }

Frame load_address(Byte address) {
    return pattern_frame(code::general::kLoadAddress, code::general::kLoadAddressPattern, address);
}

}  // namespace general

namespace main_board {

Frame ku_enable(Byte board, Byte ku) {
    return Komut_Cercevesi(code::main_board::kKu, ku, code::main_board::kEnable, 0, board);
}
Frame ku_disable(Byte board, Byte ku) {
    return Komut_Cercevesi(code::main_board::kKu, ku, code::main_board::kDisable, 0, board);
}
Frame arrow(Byte board, Byte ku, Arrow arrow) {
    return Komut_Cercevesi(code::main_board::kArrow, ku, code_of(arrow), 0, board);
}
Frame scroll_delay(Byte board, Byte seconds) {
    return Komut_Cercevesi(code::main_board::kScrollDelay, seconds, 0, 0, board);
}

}  // namespace main_board

namespace chime {

Frame on() { return Komut_Cercevesi(code::chime::kChime, code::chime::kOn, 0, 0, 0); }
Frame off() { return Komut_Cercevesi(code::chime::kChime, code::chime::kOff, 0, 0, 0); }

}  // namespace chime

namespace dot_matrix {

Frame mode(Byte id, Mode mode) { return Komut_Cercevesi(code::dot_matrix::kMode, static_cast<Byte>(mode), 0, 0, id); }
Frame arrow(Byte id, Arrow arrow) { return Komut_Cercevesi(code::dot_matrix::kArrow, code_of(arrow), 0, 0, id); }
Frame buffer_length(Byte id, Byte length) { return Komut_Cercevesi(code::dot_matrix::kBufferLength, length, 0, 0, id); }
Frame frequencies(Byte id, Byte static_text, Byte scrolling_text) {
    return Komut_Cercevesi(code::dot_matrix::kFrequencies, static_text, scrolling_text, 0, id);
}
Frame brightness(Byte id, Byte brightness) {
    return Komut_Cercevesi(code::dot_matrix::kBrightness, brightness, 0, 0, id);
}

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
    steps.push_back(
        {Komut_Cercevesi(code::dot_matrix::kTextLength, 0, static_cast<Byte>(codes->size()), 0, id), milliseconds{0}});
    return steps;
}

}  // namespace dot_matrix

}  // namespace vela
