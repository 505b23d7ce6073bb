#pragma once
// Text from outside (a record's fields, file names, script lines) as it may
// reach a terminal or a message: control characters and bytes that are no
// UTF-8 shown as their codes, so they can neither retitle, clear nor colour
// the screen. Turkish letters and every other character stay as they are.
#include <string>
#include <string_view>

namespace vela {

// `text` with every control character but the line feed, which ends lines,
// and every byte outside valid UTF-8 written as \xNN: ESC as \x1b, BEL as
// \x07, a lone 0xff as \xff. Applied twice it changes nothing more.
std::string printable_text(std::string_view text);

}  // namespace vela
