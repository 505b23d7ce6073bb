#include "sim/sim_options.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <set>

#include "protocol/decimal.h"
#include "sim/path_file.h"

namespace vela::sim {
namespace {

constexpr std::uint64_t kLongestByteGap = 10000;  // ms
constexpr double kLongestMaxGap = 86400;          // s
constexpr std::uint64_t kLongestAck = 10000;      // ms

// "5" or "5,130,201": device numbers 0..255.
std::optional<std::set<Byte>> number_list(const std::string& text) {
    std::set<Byte> numbers;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        const std::optional<std::uint64_t> number = decimal_number(text.substr(start, end - start), 255);
        if (!number) return std::nullopt;
        numbers.insert(static_cast<Byte>(*number));
        start = end + 1;
    }
    return numbers;
}

// A number such as "2" or "0.5": digits with at most one point.
std::optional<double> decimal_value(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Where a path leads when it is opened for writing: its last part followed
// while it is a symbolic link, dangling or not, and its folders resolved.
std::filesystem::path destination(std::filesystem::path path) {
    namespace fs = std::filesystem;
    std::error_code failed;
    for (int links = 0; links < 40 && fs::is_symlink(path, failed); ++links) {
        const fs::path target = fs::read_symlink(path, failed);
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    const fs::path absolute = fs::absolute(path, failed);
    const fs::path resolved = fs::weakly_canonical(absolute, failed);
    return failed ? absolute.lexically_normal() : resolved;
}

// Whether two paths name one file: by device and inode when both are there,
// else by where they lead (a file about to be created).
bool same_file(const std::string& first, const std::string& second) {
    std::error_code unknown;
    return std::filesystem::equivalent(first, second, unknown) || destination(first) == destination(second);
}

}  // namespace

Result<SimOptions> parse_sim_options(const std::vector<std::string>& arguments) {
    SimOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            continue;
        }
        if (option == "--no-time") {
            options.with_time = false;
            continue;
        }
        if (i + 1 == arguments.size()) {
            return Refusal{"'" + option + "' bilinmeyen seçenek ya da değeri eksik."};
        }
        const std::string& value = arguments[++i];
        if (option == "--device") {
            options.device = value;
        } else if (option == "--baud") {
            if (value != "9600" && value != "19200") return Refusal{"--baud 9600 ya da 19200 olmalı."};
            options.baud = std::stoi(value);
        } else if (option == "--byte-gap") {
            const std::optional<std::uint64_t> ms = decimal_number(value, kLongestByteGap);
            if (!ms) return Refusal{"--byte-gap 0 ile 10000 arasında milisaniye olmalı."};
            options.byte_gap = std::chrono::milliseconds(static_cast<long>(*ms));
        } else if (option == "--script") {
            options.script = value;
        } else if (option == "--log") {
            options.log = value;
        } else if (option == "--replay") {
            options.replay = value;
        } else if (option == "--speed") {
            const std::optional<double> factor = decimal_value(value);
            if (!factor || *factor < 0.01 || *factor > 1000) return Refusal{"--speed 0.01 ile 1000 arasında olmalı."};
            options.speed = *factor;
        } else if (option == "--max-gap") {
            const std::optional<double> seconds = decimal_value(value);
            if (!seconds || *seconds > kLongestMaxGap) return Refusal{"--max-gap 0 ile 86400 arasında saniye olmalı."};
            options.max_gap = std::chrono::milliseconds(static_cast<long>(*seconds * 1000));
        } else if (option == "--ack") {
            const std::optional<std::uint64_t> ms = decimal_number(value, kLongestAck);
            if (!ms) return Refusal{"--ack 0 ile 10000 arasında milisaniye olmalı."};
            options.answers.ack = std::chrono::milliseconds(static_cast<long>(*ms));
        } else if (option == "--silent" || option == "--garble") {
            const std::optional<std::set<Byte>> numbers = number_list(value);
            if (!numbers) return Refusal{option + " virgülle ayrılmış 0-255 cihaz numaraları olmalı."};
            (option == "--silent" ? options.answers.silent : options.answers.garbled)
                .insert(numbers->begin(), numbers->end());
        } else if (option == "--path-file") {
            options.path_file = value;
        } else {
            return Refusal{"'" + option + "' bilinmeyen seçenek."};
        }
    }
    if (options.replay && options.script) return Refusal{"--replay ile --script birlikte kullanılamaz."};
    if (!options.answers.ack && !(options.answers.silent.empty() && options.answers.garbled.empty()))
        return Refusal{"--silent ve --garble yalnız --ack ile kullanılır."};
    return options;
}

std::optional<std::string> overwritten_input(const SimOptions& options) {
    using Named = std::pair<std::string, std::optional<std::string>>;
    const std::optional<std::string> partial = options.path_file ? std::optional(path_file_partial(*options.path_file))
                                                                 : std::nullopt;
    const Named log{"--log", options.log};
    const Named written[] = {log, {"--path-file", options.path_file}, {"--path-file'ın geçici dosyası", partial}};
    const Named read[] = {{"--replay", options.replay}, {"--script", options.script}};
    const auto clash = [](const Named& output, const Named& other,
                          const char* consequence) -> std::optional<std::string> {
        if (!output.second || !other.second || !same_file(*output.second, *other.second)) return std::nullopt;
        return output.first + " ile " + other.first + " aynı dosya: " + *output.second + "; " + consequence;
    };
    for (const Named& output : written) {
        for (const Named& input : read) {
            if (auto refusal = clash(output, input, "okunan dosyanın üzerine yazılmaz.")) return refusal;
        }
    }
    for (const Named& path_file : {written[1], written[2]}) {
        if (auto refusal = clash(log, path_file, "biri ötekinin üzerine yazılır.")) return refusal;
    }
    return std::nullopt;
}

std::string usage_text() {
    return "Kullanım: vela-sim [--device YOL [--baud 9600|19200]] [--byte-gap MS]\n"
           "                  [--script DOSYA | --replay DOSYA [--speed X] [--max-gap S]]\n"
           "                  [--ack MS [--silent N,…] [--garble N,…]]\n"
           "                  [--log DOSYA] [--path-file DOSYA] [--no-time]\n"
           "  Seçeneksiz bir sanal hat açar ve konsolun açacağı yolu yazar.\n"
           "  --device     sanal hat yerine gerçek seri port (null-modem kablo)\n"
           "  --byte-gap   çerçeveleri bayt bayt, aralarında MS milisaniye ile gönder\n"
           "  --script     komutları dosyadan çalıştır ve bitince çık\n"
           "  --replay     kaydedilmiş oturumda konsola gelenleri aynı aralıklarla\n"
           "               hatta oynat (Enter ile başlar) ve bitince çık; okunamayan\n"
           "               bir satırı olan kaydın hiçbir şeyi oynatılmaz\n"
           "  --speed      oynatmayı X kat hızlı yap (aralıklar X'e bölünür)\n"
           "  --max-gap    oynatmada S saniyeden uzun beklemeyi S saniyeye kısalt\n"
           "               (varsayılan 60); geri giden saat beklemeden oynatılır\n"
           "  --ack        deney düzeneği modeli, gerçek cihazların davranışı değil:\n"
           "               numaralı her cihaz kendisine gelen her çerçeveye MS\n"
           "               milisaniye sonra kendi numarasından ALINDI ile cevap verir\n"
           "  --silent     bu numaralar (ör. 5,130) hiç cevap vermez\n"
           "  --garble     bu numaraların cevaplarında kontrol toplamı yanlıştır\n"
           "  --log        hattaki çerçeveleri oturum kaydı biçiminde dosyaya yaz;\n"
           "               okunan dosya olamaz, yazılamazsa benzetici durur\n"
           "  --path-file  hattın yolunu dosyaya yaz (konsolu başlatmak için)\n"
           "  --no-time    satırlarda saat olmasın (karşılaştırılabilir kayıt)\n";
}

}  // namespace vela::sim
