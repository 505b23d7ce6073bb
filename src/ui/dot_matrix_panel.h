#pragma once
// Frame3 "Dot Matrix Display Komutları": display control, text modes, arrows,
// settings and the character-by-character text transfer to one display.
#include "ui/device_panel.h"

namespace vela {

class DotMatrixPanel : public DevicePanel {
    Q_OBJECT

public:
    explicit DotMatrixPanel(QWidget* parent = nullptr);
};

}  // namespace vela
