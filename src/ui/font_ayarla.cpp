#include "ui/font_ayarla.h"

namespace vela {

Font_Ayarla::Font_Ayarla(Windows& windows) : windows_(windows) {}

}  // namespace vela
