#include "ui/bilet_ayarlama.h"

namespace vela {

BiletAyarlama::BiletAyarlama(Windows& windows) : windows_(windows) {}

}  // namespace vela
