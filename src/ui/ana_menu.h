#pragma once
// AnaMenu, the main window: it owns the one serial port MSComm1 for the whole
// run, carries the device panels and shows what goes out and what comes in.
#include <QWidget>
#include <array>
#include <memory>

#include "protocol/monitor.h"
#include "serial/serial_port.h"
#include "ui/transmitter.h"

class QLabel;

namespace vela {

namespace Ui {
class AnaMenu;
}

class ReceivedLog;
class Windows;

class AnaMenu : public QWidget {
    Q_OBJECT

public:
    explicit AnaMenu(Windows& windows);
    ~AnaMenu() override;

    SerialPort MSComm1;

    // Writes frames to MSComm1 without touching the sent-bytes display.
    Transmitter& quietTransmitter() { return transmitter_; }

    // Plays the frames of `command` on MSComm1; GonderilenLabel shows each
    // byte once it has been handed to the port.
    void Data_Gonder(const Sequence& frames, const QString& command);

    // The displays, by their index.
    QLabel* GonderilenLabel(int index) const { return gonderilen_[static_cast<std::size_t>(index)]; }
    QLabel* GelenLabel(int index) const { return gelen_[static_cast<std::size_t>(index)]; }
    QLabel* GelenKomutLabel() const;
    ReceivedLog* Text7() const;

protected:
    void closeEvent(QCloseEvent* event) override;  // Form_Unload: ends the program

private:
    void MSComm1_OnComm(int commEvent, const QByteArray& input);
    void showReceived(const Frame& frame);
    void Command29_Click();

    std::unique_ptr<Ui::AnaMenu> ui;
    Windows& windows_;
    Transmitter transmitter_;
    ReceiveWindow GelenData;
    std::array<QLabel*, 7> gonderilen_{};
    std::array<QLabel*, 7> gelen_{};
};

}  // namespace vela
