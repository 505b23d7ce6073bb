#pragma once
// AnaMenu, the main window: it owns the one serial port MSComm1 for the whole
// run, carries the device panels and shows what goes out and what comes in.
#include <QWidget>

#include "serial/serial_port.h"
#include "ui/transmitter.h"

namespace vela {

class Windows;

class AnaMenu : public QWidget {
    Q_OBJECT

public:
    explicit AnaMenu(Windows& windows);
    ~AnaMenu() override;

    SerialPort MSComm1;

    // Writes frames to MSComm1 without touching the sent-bytes display.
    Transmitter& quietTransmitter() { return transmitter_; }

protected:
    void closeEvent(QCloseEvent* event) override;  // Form_Unload: ends the program

private:
    Windows& windows_;
    Transmitter transmitter_;
};

}  // namespace vela
