#include "ui/shown_byte.h"

#include <array>

namespace vela {

const QString& shownByte(Byte value) {
    static const auto texts = [] {
        std::array<QString, 256> made;
        for (std::size_t b = 0; b < made.size(); ++b) made[b] = QString::fromStdString(byte_text(static_cast<Byte>(b)));
        return made;
    }();
    return texts[value];
}

}  // namespace vela
