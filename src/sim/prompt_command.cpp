#include "sim/prompt_command.h"

#include <array>
#include <optional>
#include <sstream>

#include "protocol/command_codes.h"
#include "protocol/decimal.h"

namespace vela::sim {
namespace {

constexpr std::uint64_t kLongestWait = 60000;

struct Key {
    std::string_view word;
    Byte command;
};

constexpr std::array<Key, 8> kKeys = {{
    {"ilerlet", code::received::kAdvance},
    {"tekrar", code::received::kRepeatNumber},
    {"kapat", code::received::kDisplayOff},
    {"cizgi", code::received::kDisplayDashes},
    {"ac", code::received::kDisplayOn},
    {"bekleyen", code::received::kWaitingRequest},
    {"grup-ogren", code::received::kLearnGroup},
    {"grup-degistir", code::received::kChangeGroup},
}};

std::vector<std::string> words_of(std::string_view line) {
    std::istringstream stream{std::string(line)};
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

std::optional<Byte> byte_of(const std::string& word) {
    const std::optional<std::uint64_t> value = decimal_number(word, 255);
    if (!value) return std::nullopt;
    return static_cast<Byte>(*value);
}

Refusal not_a_byte(const std::string& word) { return Refusal{"'" + word + "' 0 ile 255 arasında bir sayı değil."}; }

Refusal usage(std::string_view form) { return Refusal{"Kullanım: " + std::string(form)}; }

// The bytes of words[first..]; the first word that is no byte is refused.
Result<std::vector<Byte>> bytes_of(const std::vector<std::string>& words, std::size_t first) {
    std::vector<Byte> bytes;
    for (std::size_t i = first; i < words.size(); ++i) {
        const std::optional<Byte> value = byte_of(words[i]);
        if (!value) return not_a_byte(words[i]);
        bytes.push_back(*value);
    }
    return bytes;
}

PromptCommand frame_command(Byte command, Byte p1, Byte p2, Byte p3, Byte address) {
    const Frame frame = Komut_Cercevesi(command, p1, p2, p3, address);
    return SendBytes{std::vector<Byte>(frame.begin(), frame.end()), true};
}

Result<PromptCommand> key_press(const std::vector<std::string>& words) {
    constexpr std::string_view kForm =
        "tus T TUS (TUS: ilerlet, tekrar, kapat, cizgi, ac, bekleyen, grup-ogren, grup-degistir)";
    if (words.size() != 3) return usage(kForm);
    const std::optional<Byte> terminal = byte_of(words[1]);
    if (!terminal) return not_a_byte(words[1]);
    for (const Key& key : kKeys) {
        if (words[2] == key.word) return frame_command(key.command, 0, 0, 0, *terminal);
    }
    return Refusal{"Bilinmeyen tuş '" + words[2] + "'. " + usage(kForm).message};
}

// A frame of one code with no parameters from the device at words[1].
Result<PromptCommand> device_frame(const std::vector<std::string>& words, Byte command, std::string_view form) {
    if (words.size() != 2) return usage(form);
    const std::optional<Byte> device = byte_of(words[1]);
    if (!device) return not_a_byte(words[1]);
    return frame_command(command, 0, 0, 0, *device);
}

Result<PromptCommand> any_frame(const std::vector<std::string>& words) {
    if (words.size() != 6) return usage("cerceve D2 D3 D4 D5 D6");
    const Result<std::vector<Byte>> bytes = bytes_of(words, 1);
    if (!bytes) return Refusal{bytes.message()};
    const std::vector<Byte>& b = *bytes;
    return frame_command(b[0], b[1], b[2], b[3], b[4]);
}

Result<PromptCommand> raw_bytes(const std::vector<std::string>& words) {
    if (words.size() < 2) return usage("bayt B …");
    const Result<std::vector<Byte>> bytes = bytes_of(words, 1);
    if (!bytes) return Refusal{bytes.message()};
    return PromptCommand{SendBytes{*bytes, false}};
}

Result<PromptCommand> wait(const std::vector<std::string>& words) {
    if (words.size() != 2) return usage("bekle MS");
    const std::optional<std::uint64_t> ms = decimal_number(words[1], kLongestWait);
    if (!ms) return Refusal{"'" + words[1] + "' 0 ile 60000 arasında bir milisaniye değil."};
    return PromptCommand{Wait{std::chrono::milliseconds(*ms)}};
}

Result<PromptCommand> without_arguments(const std::vector<std::string>& words, PromptCommand command) {
    if (words.size() != 1) return usage(words[0]);
    return command;
}

}  // namespace

Result<PromptCommand> parse_prompt_line(std::string_view line) {
    const std::vector<std::string> words = words_of(line);
    if (words.empty() || words[0].front() == '#') return PromptCommand{NoCommand{}};
    const std::string& command = words[0];
    if (command == "tus") return key_press(words);
    if (command == "bilet") return device_frame(words, code::received::kTicketRequest, "bilet M");
    if (command == "alindi") return device_frame(words, code::received::kAcknowledge, "alindi D");
    if (command == "cerceve") return any_frame(words);
    if (command == "bayt") return raw_bytes(words);
    if (command == "bekle") return wait(words);
    if (command == "durum") return without_arguments(words, ShowStatus{});
    if (command == "yardim") return without_arguments(words, ShowHelp{});
    if (command == "cikis") return without_arguments(words, Quit{});
    return Refusal{"Bilinmeyen komut '" + command + "'. Komutlar için: yardim"};
}

std::string help_text() {
    return "Komutlar (sayılar 0-255, ondalık):\n"
           "  tus T TUS                El Terminali T tuşa basar; TUS: ilerlet, tekrar, kapat,\n"
           "                           cizgi, ac, bekleyen, grup-ogren, grup-degistir\n"
           "  bilet M                  Bilet Makinesi M bilet ister\n"
           "  alindi D                 cihaz D ALINDI (ACK) gönderir\n"
           "  cerceve D2 D3 D4 D5 D6   170 ve kontrol toplamı eklenmiş bir çerçeve\n"
           "  bayt B …                 ham baytlar, tek yazmada\n"
           "  durum                    cihazların durumu\n"
           "  bekle MS                 MS milisaniye bekle (0-60000)\n"
           "  yardim                   bu metin\n"
           "  cikis                    çıkış\n";
}

}  // namespace vela::sim
