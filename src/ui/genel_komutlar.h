#pragma once
// "GENEL KOMUTLAR:": the global reset and the address load, commands that
// belong to no single device type. It stands on the window without a frame.
#include "ui/device_panel.h"

namespace vela {

class GenelKomutlar : public DevicePanel {
    Q_OBJECT

public:
    explicit GenelKomutlar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;  // no frame, only the controls
};

}  // namespace vela
