#pragma once
// com_select, the port-selection window the program starts with: the port and
// the line speed are chosen, and "OK" opens MSComm1 and shows the main window.
#include <QWidget>
#include <array>

#include "serial/port_numbering.h"

class QGroupBox;
class QLabel;
class QRadioButton;

namespace vela {

class Windows;
class WrappingButton;

class com_select : public QWidget {
    Q_OBJECT

public:
    explicit com_select(Windows& windows);

    // The controls, by their names; com1[i] is "Com i+1".
    QLabel* Label1;
    QGroupBox* Frame2;
    std::array<QRadioButton*, kComPorts> com1{};
    QGroupBox* Frame1;
    std::array<QRadioButton*, 2> speed{};
    WrappingButton* Command1;

protected:
    void closeEvent(QCloseEvent* event) override;                // closing this window ends the program
    bool eventFilter(QObject* watched, QEvent* event) override;  // each option's tooltip

private:
    void Command1_Click();

    Windows& windows_;
};

}  // namespace vela
