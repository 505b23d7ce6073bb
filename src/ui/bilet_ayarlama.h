#pragma once
#include <QWidget>

namespace vela {

class Windows;

class BiletAyarlama : public QWidget {
    Q_OBJECT

public:
    explicit BiletAyarlama(Windows& windows);

private:
    Windows& windows_;
};

}  // namespace vela
