#pragma once
#include <QWidget>

namespace vela {

class Windows;

class Font_Ayarla : public QWidget {
    Q_OBJECT

public:
    explicit Font_Ayarla(Windows& windows);

private:
    Windows& windows_;
};

}  // namespace vela
