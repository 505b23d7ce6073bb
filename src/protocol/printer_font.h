#pragma once
// Parameter bytes of the printer commands ESC ! n (print modes) and GS ! n
// (character size), and the text the windows show for them.
#include <array>
#include <string>

namespace vela {

struct PrintModes {
    bool font_b = false;
    bool emphasized = false;
    bool double_height = false;
    bool double_width = false;
    bool underline = false;
};

// The bits of ESC ! n.
namespace print_mode_bit {
inline constexpr int kFontB = 1;
inline constexpr int kEmphasized = 8;
inline constexpr int kDoubleHeight = 16;
inline constexpr int kDoubleWidth = 32;
inline constexpr int kUnderline = 128;
}  // namespace print_mode_bit

int esc_bang_value(const PrintModes& modes);

// The modes ESC ! n selects.
PrintModes print_modes(int esc_bang);

// The size GS ! n selects: an index per dimension, 0 for x1 up to 7 for x8.
struct CharacterSize {
    int height = 0;
    int width = 0;
};

// h + 16 * w, and back: the height in bits 0-2, the width in bits 4-6.
int gs_bang_value(CharacterSize size);
CharacterSize character_size(int gs_bang);

// The value for the window's options: h and w are the first selected index
// from 1 up to 7 of the height and width options, 0 when none of those is
// selected.
int gs_bang_value(const std::array<bool, 8>& height_selected, const std::array<bool, 8>& width_selected);

// "27, 33, " / "29, 33, " followed by the value with a reserved sign position:
// 8 reads "27, 33,  8", -5 would read "27, 33, -5".
std::string esc_bang_text(int value);
std::string gs_bang_text(int value);

}  // namespace vela
