#include "sim/frame_meaning.h"

#include <algorithm>
#include <array>
#include <vector>

#include "protocol/command_codes.h"
#include "protocol/ticket.h"
#include "sim/character_text.h"
#include "sim/font_text.h"

namespace vela::sim {
namespace {

// A numbered device type and the codes it reads.
struct DeviceType {
    Device device;
    std::vector<Byte> codes;
};

namespace terminal = code::hand_terminal;
namespace ticket = code::ticket_machine;
namespace transfer = code::ticket_transfer;
namespace board = code::main_board;
namespace matrix = code::dot_matrix;

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

std::string n(int value) { return std::to_string(value); }

std::string unknown_command(Byte command) { return "bilinmeyen komut (kod " + n(command) + ")"; }

std::string hand_terminal_command(const Frame& f) {
    switch (f[1]) {
    case terminal::kReset: return "RESET";
    case terminal::kShowNumber: return "SAYI GÖNDER " + n(join_two_bytes(f[2], f[3]));
    case terminal::kNobodyWaiting: return "BEKLEYEN YOK";
    case terminal::kWaitingCount: return "BEKLEYEN KİŞİ SAYISI " + n(join_two_bytes(f[2], f[3]));
    case terminal::kFlashCount: return "FLASH SAYISI " + n(f[2]);
    case terminal::kDisplayOff: return "DISPLAY KAPATMA";
    case terminal::kDisplayDashes: return "DISPLAY ÇİZGİ YAPMA (---)";
    case terminal::kDisplayOn: return "DISPLAY AÇMA";
    case terminal::kScrollTime: return "KAYDIRMA SÜRESİ " + n(f[3]) + " dakika " + n(f[2]) + " saniye";
    default: return unknown_command(f[1]);
    }
}

std::string font_command(Byte slot, Byte value) {
    if (!is_font_slot(slot)) return "FONT " + n(slot) + ": bilinmeyen font yuvası, değer " + n(value);
    const bool esc_bang = is_esc_bang_slot(slot);
    const std::string element(element_name(font_element(slot)));
    return "FONT " + n(slot) + " (" + element + (esc_bang ? ", ESC ! " : ", GS ! ") + n(value) +
           "): " + (esc_bang ? print_modes_text(value) : character_size_text(value));
}

std::string ticket_character(const char* block, const Frame& f) {
    return std::string(block) + " " + n(f[2] + 1) + ". satır, pozisyon " + n(f[3]) + ": " + character_text(f[4]);
}

std::string ticket_machine_command(const Frame& f) {
    switch (f[1]) {
    case ticket::kFirstTicket:
        return "BİLET GÖNDER 1. KOMUT: bilet numarası " + n(join_two_bytes(f[2], f[3])) + ", kaçıncı bilet " + n(f[4]);
    case ticket::kSecondTicket:
        return "BİLET GÖNDER 2. KOMUT: bekleyen kişi " + n(join_two_bytes(f[2], f[3])) + ", tekrar " + n(f[4]);
    case ticket::kNoTicket: return "BİLET YOK";
    case ticket::kLoadTicketData:
        return "BİLET DATASI YÜKLE: data " + n(f[2]) + ", adres " + n(f[3]) + ", sıra no " + n(f[4]);
    case transfer::kFont: return font_command(f[2], f[3]);
    case transfer::kInstitutionCharacter: return ticket_character("KURUM İSMİ", f);
    case transfer::kButtonCharacter: return ticket_character("BUTON İSMİ", f);
    default: return unknown_command(f[1]);
    }
}

std::string dot_matrix_command(const Frame& f) {
    switch (f[1]) {
    case matrix::kCharacter: return "KARAKTER, pozisyon " + n(f[3]) + ": " + character_text(f[4]);
    case matrix::kMode: return display_mode_name(f[2]);
    case matrix::kArrow: return arrow_name(f[2]);
    case matrix::kBufferLength: return "BUFFER UZUNLUĞU " + n(f[2]);
    case matrix::kFrequencies: return "FREKANS sabit " + n(f[2]) + ", kayan " + n(f[3]);
    case matrix::kBrightness: return "PARLAKLIK " + n(f[2]);
    case matrix::kTextLength: return "METİN UZUNLUĞU " + n(f[3]);
    default: return unknown_command(f[1]);
    }
}

std::string main_board_command(const Frame& f) {
    switch (f[1]) {
    case board::kKu:
        if (f[3] == board::kEnable) return "KU " + n(f[2]) + " ENABLE";
        if (f[3] == board::kDisable) return "KU " + n(f[2]) + " DISABLE";
        return "KU " + n(f[2]) + ": bilinmeyen değer " + n(f[3]);
    case board::kArrow: return "KU " + n(f[2]) + ": " + arrow_name(f[3]);
    case board::kScrollDelay: return "KAYDIRMA GECİKME SÜRESİ " + n(f[2]) + " saniye";
    default: return unknown_command(f[1]);
    }
}

std::string chime_command(const Frame& f) {
    if (f[2] == code::chime::kOn) return "Ding-Dong AÇIK";
    if (f[2] == code::chime::kOff) return "Ding-Dong KAPALI";
    return "bilinmeyen zil durumu " + n(f[2]);
}

std::string general_command(const Frame& f) {
    if (f[1] == code::general::kGlobalReset) return "GLOBAL RESET";
    return "ADRES YÜKLE: adres " + n(f[5]);
}

std::string command_text(const Addressee& to, const Frame& f) {
    switch (to.device) {
    case Device::HandTerminal: return hand_terminal_command(f);
    case Device::TicketMachine: return ticket_machine_command(f);
    case Device::DotMatrix: return dot_matrix_command(f);
    case Device::MainBoard: return main_board_command(f);
    case Device::Chime: return chime_command(f);
    case Device::Everyone: return general_command(f);
    case Device::Unknown: break;
    }
    return unknown_command(f[1]);
}

}  // namespace

Addressee addressee_of(const Frame& f) {
    const Byte command = f[1];
    const Byte address = f[5];
    if (command == code::general::kGlobalReset && has_reset_pattern(f) && address == 0) {
        return {Device::Everyone, 0, true};
    }
    if (command == code::general::kLoadAddress) return {Device::Everyone, address, true};
    if (command == code::chime::kChime) return {Device::Chime, address, address == 0};
    const DeviceType* first_knowing = nullptr;
    for (const DeviceType& type : kTypes) {
        if (std::find(type.codes.begin(), type.codes.end(), command) == type.codes.end()) continue;
        if (command == terminal::kReset && !has_reset_pattern(f)) continue;
        if (address_range(type.device)->holds(address)) return {type.device, address, true};
        if (!first_knowing) first_knowing = &type;
    }
    if (first_knowing) return {first_knowing->device, address, false};
    return {Device::Unknown, address, false};
}

FrameMeaning frame_meaning(const Frame& frame) {
    const Addressee to = addressee_of(frame);
    std::string device = device_name(to.device, to.address);
    if (!to.in_range) device += " (adres aralık dışında)";
    return {device, command_text(to, frame)};
}

std::string display_mode_name(Byte mode) {
    static constexpr std::array<const char*, 9> kModes = {
        "Flash ON Ding-Dong ON",     "Flash ON Ding-Dong OFF", "Flash OFF Ding-Dong ON",
        "Display Açma Komutu",       "Display Kapatma Komutu", "Sabit Yazı Bir Süre Sonra",
        "Kayan Yazı Bir Süre Sonra", "Sabit Yazı Sürekli",     "Kayan Yazı Sürekli",
    };
    if (mode < 1 || mode > kModes.size()) return "bilinmeyen mod " + n(mode);
    return kModes[mode - 1];
}

std::string arrow_name(Byte arrow) {
    static constexpr std::array<const char*, 5> kArrows = {
        "Yukarı Yön Oku Göster", "Aşağı Yön Oku Göster", "Sağa Yön Oku Göster",
        "Sola Yön Oku Göster",   "Yön Okunu Kapat",
    };
    if (arrow < 1 || arrow > kArrows.size()) return "bilinmeyen yön " + n(arrow);
    return kArrows[arrow - 1];
}

}  // namespace vela::sim
