#pragma once
// Frame1 "El Terminali Komutları": the commands to one hand terminal.
#include "ui/device_panel.h"

namespace vela {

class ElTerminaliPanel : public DevicePanel {
    Q_OBJECT

public:
    explicit ElTerminaliPanel(QWidget* parent = nullptr);
};

}  // namespace vela
