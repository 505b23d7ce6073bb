#include "sim/font_text.h"

#include <vector>

#include "protocol/printer_font.h"
#include "sim/joined.h"

namespace vela::sim {
namespace {

int height_factor(Byte gs_bang) { return character_size(gs_bang).height + 1; }
int width_factor(Byte gs_bang) { return character_size(gs_bang).width + 1; }

std::string factor_text(int factor, const char* dimension) { return std::to_string(factor) + "x " + dimension; }

std::vector<std::string> font_and_emphasis(const PrintModes& modes) {
    std::vector<std::string> parts{modes.font_b ? "Font B" : "Font A"};
    if (modes.emphasized) parts.emplace_back("kalın");
    return parts;
}

}  // namespace

std::string print_modes_text(Byte esc_bang) {
    const PrintModes modes = print_modes(esc_bang);
    std::vector<std::string> parts = font_and_emphasis(modes);
    if (modes.double_height) parts.emplace_back("2x yükseklik");
    if (modes.double_width) parts.emplace_back("2x genişlik");
    if (modes.underline) parts.emplace_back("altı çizili");
    return joined(parts);
}

std::string character_size_text(Byte gs_bang) {
    return joined({factor_text(height_factor(gs_bang), "yükseklik"), factor_text(width_factor(gs_bang), "genişlik")});
}

std::string line_font_text(Byte esc_bang, Byte gs_bang) {
    const PrintModes modes = print_modes(esc_bang);
    std::vector<std::string> parts = font_and_emphasis(modes);
    int height = height_factor(gs_bang);
    if (height == 1 && modes.double_height) height = 2;
    int width = width_factor(gs_bang);
    if (width == 1 && modes.double_width) width = 2;
    if (height > 1) parts.push_back(factor_text(height, "yükseklik"));
    if (width > 1) parts.push_back(factor_text(width, "genişlik"));
    if (modes.underline) parts.emplace_back("altı çizili");
    std::string text = "[";  // appended: see character_text.cpp on -Wrestrict
    text += joined(parts);
    return text += "]";
}

}  // namespace vela::sim
