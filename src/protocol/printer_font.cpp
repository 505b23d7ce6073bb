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
    int value = modes.font_b ? 1 : 0;
    if (modes.emphasized) value += 8;
    if (modes.double_height) value += 16;
    if (modes.double_width) value += 32;
    if (modes.underline) value += 128;
    return value;
}

int gs_bang_value(const std::array<bool, 8>& height_selected,
                  const std::array<bool, 8>& width_selected) {
    return size_index(height_selected) + 16 * size_index(width_selected);
}

std::string esc_bang_text(int value) { return command_text("27, 33, ", value); }
std::string gs_bang_text(int value) { return command_text("29, 33, ", value); }

}  // namespace vela
