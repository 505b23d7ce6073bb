#pragma once
// Frame4 "Ana Tablo Komutları": KU enable and disable, direction arrows and
// the scroll delay of one main board.
#include "ui/device_panel.h"

namespace vela {

class AnaTabloPanel : public DevicePanel {
    Q_OBJECT

public:
    explicit AnaTabloPanel(QWidget* parent = nullptr);
};

}  // namespace vela
