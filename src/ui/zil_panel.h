#pragma once
// Frame5 "Ding-Dong Zil Komutları": the chime on and off, fixed frames.
#include "ui/device_panel.h"

namespace vela {

class ZilPanel : public DevicePanel {
    Q_OBJECT

public:
    explicit ZilPanel(QWidget* parent = nullptr);
};

}  // namespace vela
