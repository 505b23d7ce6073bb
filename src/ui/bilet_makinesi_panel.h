#pragma once
// Frame2 "Bilet Makinesi Komutları": the commands to one ticket machine.
#include "ui/device_panel.h"

namespace vela {

class BiletMakinesiPanel : public DevicePanel {
    Q_OBJECT

public:
    explicit BiletMakinesiPanel(QWidget* parent = nullptr);
};

}  // namespace vela
