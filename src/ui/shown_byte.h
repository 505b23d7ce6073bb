#pragma once
// How the displays show a byte: byte_text (" 170") as Qt text.
#include <QString>

#include "protocol/frame.h"

namespace vela {

// Made once for each value, since every received byte passes here.
const QString& shownByte(Byte value);

}  // namespace vela
