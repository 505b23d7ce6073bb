#pragma once
// Sends the frames of a saved session record again, after the technician has
// seen where they go and how long it takes. The run is driven from the event
// loop, one whole frame at a time through the main window's recorded send, so
// that the window paints, the monitor goes on and "Durdur" works between
// frames and during waits of minutes. Each frame waits at least its recorded
// gap after the one before it went out: long waits on a timer that ends a few
// milliseconds early, the rest in the port's exact pause.
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>
#include <vector>

#include "record/record_reader.h"

class QProgressDialog;

namespace vela {

class AnaMenu;

class RecordSender : public QObject {
    Q_OBJECT

public:
    explicit RecordSender(AnaMenu& menu);
    ~RecordSender() override;

    // Reads the record at `path` and, once the technician has confirmed,
    // starts sending. False when the record was refused (with its message)
    // or the technician cancelled: then nothing was sent.
    bool start(const QString& path);
    bool running() const { return progress_ != nullptr; }

    // How far the run is, with "Durdur"; only while it runs.
    QProgressDialog* progress() const { return progress_.get(); }

signals:
    void finished();

private:
    using Clock = std::chrono::steady_clock;
    enum class End { Done, Stopped, PortLost };

    void sendNext();
    void waitForNext();
    void waitOver();
    void stop();
    void portLost();
    void finish(End end);

    AnaMenu& menu_;
    std::vector<RecordedFrame> frames_;
    std::vector<std::chrono::milliseconds> gaps_;  // before frame i + 1
    std::size_t sent_ = 0;
    Clock::time_point nextAt_;
    QTimer wait_;
    std::unique_ptr<QProgressDialog> progress_;
    bool sending_ = false;  // a frame is going out: the send itself tells a lost port
    bool stopAsked_ = false;
    bool lost_ = false;
};

}  // namespace vela
