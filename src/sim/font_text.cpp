#include "sim/font_text.h"

#include <vector>

namespace vela::sim {
namespace {

constexpr Byte kFontB = 1;
constexpr Byte kEmphasized = 8;
constexpr Byte kDoubleHeight = 16;
constexpr Byte kDoubleWidth = 32;
constexpr Byte kUnderline = 128;

int height_factor(Byte gs_bang) { return (gs_bang & 0x07) + 1; }
int width_factor(Byte gs_bang) { return ((gs_bang >> 4) & 0x07) + 1; }

std::string factor_text(int factor, const char* dimension) {
    return std::to_string(factor) + "x " + dimension;
}

}  // namespace

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty()) text += ", ";
        text += part;
    }
    return text;
}

std::string print_modes_text(Byte esc_bang) {
    std::vector<std::string> parts{esc_bang & kFontB ? "Font B" : "Font A"};
    if (esc_bang & kEmphasized) parts.emplace_back("kalın");
    if (esc_bang & kDoubleHeight) parts.emplace_back("2x yükseklik");
    if (esc_bang & kDoubleWidth) parts.emplace_back("2x genişlik");
    if (esc_bang & kUnderline) parts.emplace_back("altı çizili");
    return joined(parts);
}

std::string character_size_text(Byte gs_bang) {
    return factor_text(height_factor(gs_bang), "yükseklik") + ", " +
           factor_text(width_factor(gs_bang), "genişlik");
}

std::string line_font_text(Byte esc_bang, Byte gs_bang) {
    std::vector<std::string> parts{esc_bang & kFontB ? "Font B" : "Font A"};
    if (esc_bang & kEmphasized) parts.emplace_back("kalın");
    int height = height_factor(gs_bang);
    if (height == 1 && (esc_bang & kDoubleHeight)) height = 2;
    int width = width_factor(gs_bang);
    if (width == 1 && (esc_bang & kDoubleWidth)) width = 2;
    if (height > 1) parts.push_back(factor_text(height, "yükseklik"));
    if (width > 1) parts.push_back(factor_text(width, "genişlik"));
    if (esc_bang & kUnderline) parts.emplace_back("altı çizili");
    return "[" + joined(parts) + "]";
}

}  // namespace vela::sim
