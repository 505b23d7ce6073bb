#pragma once
// How the printer reads the font values of a ticket element: ESC ! n selects
// print modes, GS ! n the character size.
#include <string>

#include "protocol/frame.h"

namespace vela::sim {

// "Font B, kalın, 2x yükseklik, 2x genişlik, altı çizili" (only what is set;
// "Font A" alone for 0).
std::string print_modes_text(Byte esc_bang);

// "3x yükseklik, 2x genişlik" from h + 16 * w (indices 0..7 for x1..x8).
std::string character_size_text(Byte gs_bang);

// The font a line is printed in, both commands together, in brackets:
// "[Font B, kalın, 2x yükseklik]". GS ! sizes above x1 win over the
// double-height and double-width modes of ESC !.
std::string line_font_text(Byte esc_bang, Byte gs_bang);

}  // namespace vela::sim
