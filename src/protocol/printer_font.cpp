#include "protocol/printer_font.h"

#include <string_view>

namespace vela {
namespace {

// The first selected index from 1 up to 7; "Normal" (0) and no selection are 0.
int size_index(const std::array<bool, 8>& selected) {
    for (int i = 1; i <= 7; ++i) {
        if (selected[static_cast<std::size_t>(i)]) return i;
    }
    return 0;
}

// The value after the prefix with a reserved sign position: a blank for a
// value of zero or more.
std::string command_text(std::string_view prefix, int value) {
    std::string text(prefix);
    if (value >= 0) text += ' ';
    return text + std::to_string(value);
}

}  // namespace

int esc_bang_value(const PrintModes& modes) {
    using namespace print_mode_bit;
    return (modes.font_b ? kFontB : 0) | (modes.emphasized ? kEmphasized : 0) |
           (modes.double_height ? kDoubleHeight : 0) | (modes.double_width ? kDoubleWidth : 0) |
           (modes.underline ? kUnderline : 0);
}

PrintModes print_modes(int esc_bang) {
    using namespace print_mode_bit;
    return {(esc_bang & kFontB) != 0, (esc_bang & kEmphasized) != 0, (esc_bang & kDoubleHeight) != 0,
            (esc_bang & kDoubleWidth) != 0, (esc_bang & kUnderline) != 0};
}

int gs_bang_value(CharacterSize size) { return size.height + 16 * size.width; }

CharacterSize character_size(int gs_bang) { return {gs_bang & 0x07, (gs_bang >> 4) & 0x07}; }

int gs_bang_value(const std::array<bool, 8>& height_selected, const std::array<bool, 8>& width_selected) {
    return gs_bang_value({size_index(height_selected), size_index(width_selected)});
}

std::string esc_bang_text(int value) { return command_text("27, 33, ", value); }
std::string gs_bang_text(int value) { return command_text("29, 33, ", value); }

}  // namespace vela
