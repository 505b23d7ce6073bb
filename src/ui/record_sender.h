#pragma once
// Sends the frames of a saved session record again, after the technician has
// seen where they go and how long it takes. The record is read and checked on
// a worker thread, with its progress and "Vazgeç", so that a big or strange
// file never stops the window; only its frames and their recorded answers
// are kept. The run is driven
// from the event loop, one whole frame at a time through the main window's
// recorded send, so that the window paints, the monitor goes on and "Durdur"
// works between frames and during waits of any length. Each frame waits at
// least its recorded gap after the one before it went out (FramePacer). When
// the technician asks, the answers are compared with the recorded ones once
// the last frame's answer window is over, and the result is shown.
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>
#include <thread>

#include "record/record_check.h"
#include "record/resend_frames.h"
#include "serial/frame_pacer.h"

class QProgressDialog;

namespace vela {

class AnaMenu;
struct RecordLoad;

class RecordSender : public QObject {
    Q_OBJECT

public:
    explicit RecordSender(AnaMenu& menu);
    ~RecordSender() override;

    // Starts reading the record at `path`; once it is read and the
    // technician has confirmed, sending starts. A record refused (with its
    // message) or cancelled sends nothing.
    void start(const QString& path);
    // Reading, waiting for the confirmation or sending.
    bool running() const { return load_ != nullptr || progress_ != nullptr; }

signals:
    void finished();

private:
    enum class End { Done, Stopped, PortLost, Stuck };

    void read(const std::shared_ptr<RecordLoad>& load);
    void begin(const QString& path, ResendFrames frames, Gaps gaps);
    void sendNext();
    void stop();
    void portLost();
    void finish(End end);
    void received(const Frame& frame, SerialPort::Moment at);
    void showComparison();

    AnaMenu& menu_;
    std::thread reader_;
    std::shared_ptr<RecordLoad> load_;  // while the record is read and confirmed
    QTimer readingShown_;
    std::unique_ptr<QProgressDialog> reading_;
    ResendFrames frames_;
    Gaps gaps_ = Gaps::AsRecorded;
    std::size_t sent_ = 0;
    FramePacer pacer_;
    bool comparing_ = false;  // "Gelenleri kayıtla karşılaştır"
    std::vector<Exchange> exchanges_;
    std::vector<CheckTime> sentAt_;
    std::vector<TimedFrame> received_;
    std::unique_ptr<QProgressDialog> progress_;
    bool sending_ = false;  // a frame is going out: the send itself tells a lost port
    bool stopAsked_ = false;
    bool lost_ = false;
};

}  // namespace vela
