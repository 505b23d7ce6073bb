#pragma once
#include <QWidget>

namespace vela {

class Windows;

class com_select : public QWidget {
    Q_OBJECT

public:
    explicit com_select(Windows& windows);

private:
    Windows& windows_;
};

}  // namespace vela
