#pragma once
// AnaMenu, the main window: it owns the one serial port MSComm1 for the whole
// run, carries the device panels and shows what goes out and what comes in.
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "protocol/device_name.h"
#include "protocol/monitor.h"
#include "serial/serial_port.h"
#include "serial/transmitter.h"
#include "ui/received_display.h"
#include "ui/session_recorder.h"

class QAction;
class QLabel;

namespace vela {

namespace Ui {
class AnaMenu;
}

class HatDurumu;
class LineWatch;
class ReceivedLog;
class RecordExporter;
class RecordSender;
class Windows;

class AnaMenu : public QWidget {
    Q_OBJECT

public:
    explicit AnaMenu(Windows& windows);
    ~AnaMenu() override;

    SerialPort MSComm1;

    // The start-up's opening of MSComm1 as "Com `com`" at `baud`, then the
    // window shown. A port another program holds ends the program; any other
    // failure is told over `parent` and the window opens with the port
    // closed. Returns whether the port is open.
    bool openPort(int com, int baud, QWidget* parent);

    // Plays the frames of `command` on MSComm1 and records them as sent to
    // `device` (its number is each frame's DATA6); GonderilenLabel shows each
    // byte once it has been handed to the port.
    void Data_Gonder(const Sequence& frames, const QString& command, Device device);

    // A command refused before anything was sent, by any window: recorded,
    // then its message shown over `parent`.
    void refuse(QWidget* parent, const QString& command, const QString& message);

    // Every frame sent, every delivery received, the port's events and the
    // refusals of the run.
    SessionRecorder& sessionRecorder() { return recorder_; }

    // Plays frames on MSComm1 and records each one once the device has sent
    // it, with its device and the name `command` gives it. A frame that did
    // not go out is recorded (RED, with its bytes) before the one message
    // that tells it; the later frames are not sent. The record is flushed
    // once the frames are done.
    using CommandName = std::function<QString(const Frame&)>;
    bool sendRecorded(QWidget* parent, const Sequence& frames, Device device, const CommandName& command,
                      const Transmitter::ByteSent& shown = {});

    // The displays, by their index.
    QLabel* GonderilenLabel(int index) const { return gonderilen_[static_cast<std::size_t>(index)]; }
    QLabel* GelenLabel(int index) const { return gelen_[static_cast<std::size_t>(index)]; }
    QLabel* GelenKomutLabel() const;
    ReceivedLog* Text7() const;

    // "Hat Durumu", made when first opened, and the counts it shows.
    HatDurumu& hatDurumu();
    LineWatch& lineWatch() { return *lineWatch_; }

signals:
    // A frame the monitor recognised in a delivery, at the delivery's time,
    // as soon as it is read: for a run that compares the answers.
    void recognised(const vela::Frame& frame, vela::SerialPort::Moment at);

protected:
    void closeEvent(QCloseEvent* event) override;  // Form_Unload: ends the program
    void showEvent(QShowEvent* event) override;

private:
    void recordArrival(const QByteArray& bytes, SerialPort::Moment at);
    void MSComm1_OnComm(int commEvent, const QByteArray& input);  // the displays
    void Command29_Click();
    void saveSessionRecord();
    void sendFromRecord();
    void showRecordFile(const QString& path);

    std::unique_ptr<Ui::AnaMenu> ui;
    Windows& windows_;
    Transmitter transmitter_;
    ReceiveMonitor monitor_;  // GelenData, the one window on the received bytes
    std::array<QLabel*, 7> gonderilen_{};
    std::array<QLabel*, 7> gelen_{};
    std::unique_ptr<ReceivedDisplay> received_;
    SessionRecorder recorder_{this};
    bool openingRecorded_ = false;
    QAction* saveRecord_ = nullptr;
    QAction* stopRecord_ = nullptr;
    QAction* sendFromRecord_ = nullptr;
    QAction* exportRecord_ = nullptr;
    QAction* showLineStatus_ = nullptr;
    std::unique_ptr<LineWatch> lineWatch_;
    HatDurumu* hatDurumu_ = nullptr;
    std::unique_ptr<RecordSender> recordSender_;
    RecordExporter* recordExporter_ = nullptr;
    QString recordFolder_;          // of the last record saved or opened
    QLabel* recordFile_ = nullptr;  // the file appended to, while it is
};

}  // namespace vela
