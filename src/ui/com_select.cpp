#include "ui/com_select.h"

namespace vela {

com_select::com_select(Windows& windows) : windows_(windows) {}

}  // namespace vela
