#include "sim/frame_meaning.h"

#include <array>

#include "protocol/command_codes.h"
#include "sim/character_text.h"
#include "sim/font_text.h"

namespace vela::sim {
namespace {

std::string n(int value) { return std::to_string(value); }

std::string font_command(Byte slot, Byte value) {
    if (!is_font_slot(slot)) return "FONT " + n(slot) + ": bilinmeyen font yuvası, değer " + n(value);
    const bool esc_bang = is_esc_bang_slot(slot);
    const std::string element(element_name(font_element(slot)));
    return "FONT " + n(slot) + " (" + element + (esc_bang ? ", ESC ! " : ", GS ! ") + n(value) +
           "): " + (esc_bang ? print_modes_text(value) : character_size_text(value));
}

// The command with its parameters, one text per command.
struct CommandText {
    using Text = std::string;
    Text operator()(const hand_terminal::Reset&) const { return "RESET"; }
    Text operator()(const hand_terminal::ShowNumber& c) const { return "SAYI GÖNDER " + n(c.number); }
    Text operator()(const hand_terminal::NobodyWaiting&) const { return "BEKLEYEN YOK"; }
    Text operator()(const hand_terminal::WaitingCount& c) const { return "BEKLEYEN KİŞİ SAYISI " + n(c.waiting); }
    Text operator()(const hand_terminal::FlashCount& c) const { return "FLASH SAYISI " + n(c.count); }
    Text operator()(const hand_terminal::DisplayOff&) const { return "DISPLAY KAPATMA"; }
    Text operator()(const hand_terminal::DisplayDashes&) const { return "DISPLAY ÇİZGİ YAPMA (---)"; }
    Text operator()(const hand_terminal::DisplayOn&) const { return "DISPLAY AÇMA"; }
    Text operator()(const hand_terminal::ScrollTime& c) const {
        return "KAYDIRMA SÜRESİ " + n(c.minutes) + " dakika " + n(c.seconds) + " saniye";
    }
    Text operator()(const ticket_machine::FirstTicket& c) const {
        return "BİLET GÖNDER 1. KOMUT: bilet numarası " + n(c.ticket_number) + ", kaçıncı bilet " + n(c.which_ticket);
    }
    Text operator()(const ticket_machine::SecondTicket& c) const {
        return "BİLET GÖNDER 2. KOMUT: bekleyen kişi " + n(c.waiting) + ", tekrar " + n(c.repeats);
    }
    Text operator()(const ticket_machine::NoTicket&) const { return "BİLET YOK"; }
    Text operator()(const ticket_machine::LoadTicketData& c) const {
        return "BİLET DATASI YÜKLE: data " + n(c.data) + ", adres " + n(c.address) + ", sıra no " + n(c.sequence);
    }
    Text operator()(const ticket_machine::FontSlot& c) const { return font_command(c.slot, c.value); }
    Text operator()(const ticket_machine::LineCharacter& c) const {
        const char* block = c.element == TicketElement::InstitutionName ? "KURUM İSMİ" : "BUTON İSMİ";
        return std::string(block) + " " + n(c.line + 1) + ". satır, pozisyon " + n(c.position) + ": " +
               character_text(c.code);
    }
    Text operator()(const general::GlobalReset&) const { return "GLOBAL RESET"; }
    Text operator()(const general::LoadAddress& c) const { return "ADRES YÜKLE: adres " + n(c.address); }
    Text operator()(const main_board::Ku& c) const {
        if (c.state == code::main_board::kEnable) return "KU " + n(c.ku) + " ENABLE";
        if (c.state == code::main_board::kDisable) return "KU " + n(c.ku) + " DISABLE";
        return "KU " + n(c.ku) + ": bilinmeyen değer " + n(c.state);
    }
    Text operator()(const main_board::KuArrow& c) const {
        return "KU " + n(c.ku) + ": " + arrow_name(static_cast<Byte>(c.arrow));
    }
    Text operator()(const main_board::ScrollDelay& c) const {
        return "KAYDIRMA GECİKME SÜRESİ " + n(c.seconds) + " saniye";
    }
    Text operator()(const chime::Switch& c) const {
        if (c.state == code::chime::kOn) return "Ding-Dong AÇIK";
        if (c.state == code::chime::kOff) return "Ding-Dong KAPALI";
        return "bilinmeyen zil durumu " + n(c.state);
    }
    // The position as DATA4 carries it, counted from 0.
    Text operator()(const dot_matrix::Character& c) const {
        return "KARAKTER, pozisyon " + n(c.position - 1) + ": " + character_text(c.code);
    }
    Text operator()(const dot_matrix::DisplayMode& c) const { return display_mode_name(static_cast<Byte>(c.mode)); }
    Text operator()(const dot_matrix::DirectionArrow& c) const { return arrow_name(static_cast<Byte>(c.arrow)); }
    Text operator()(const dot_matrix::BufferLength& c) const { return "BUFFER UZUNLUĞU " + n(c.length); }
    Text operator()(const dot_matrix::Frequencies& c) const {
        return "FREKANS sabit " + n(c.static_text) + ", kayan " + n(c.scrolling_text);
    }
    Text operator()(const dot_matrix::Brightness& c) const { return "PARLAKLIK " + n(c.brightness); }
    Text operator()(const dot_matrix::TextLength& c) const { return "METİN UZUNLUĞU " + n(c.length); }
    Text operator()(const UnknownCommand& c) const { return "bilinmeyen komut (kod " + n(c.code) + ")"; }
};

}  // namespace

FrameMeaning frame_meaning(const DecodedCommand& decoded) {
    std::string device = device_name(decoded.device, decoded.number);
    if (!decoded.in_range) device += " (adres aralık dışında)";
    return {device, std::visit(CommandText{}, decoded.command)};
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
