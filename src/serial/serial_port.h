#pragma once
// The console's one serial port (MSComm1): port number and line settings,
// open with an error number, one-byte writes the device takes or refuses
// within a bound, a bounded wait for them to leave, every read told at once
// with its time, and a receive notification on the user-interface thread. A
// device that vanishes is looked for again about once a second and taken
// back as soon as it can be opened.
//
// The port owns its terminal descriptor outright (termios, a socket notifier
// for reading): the console writes from click handlers that sleep between
// frames and reads during those sleeps, which a buffered port class that
// writes and reads from the event loop does not allow.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "serial/line_errors.h"

namespace vela {

class SerialPort : public QObject {
    Q_OBJECT

public:
    // Error numbers of setSettings() and open(); 0 means success.
    static constexpr int kInvalidPropertyValue = 380;  // settings text not understood
    static constexpr int kInvalidPortNumber = 8002;    // no such device, or not a serial port
    static constexpr int kPortAlreadyOpen = 8005;      // held by another program
    static constexpr int kPermissionDenied = 8010;     // the user may not open the device
    static constexpr int kOpenFailed = 8012;           // any other failure to open

    // Kind of a receive notification (CommEvent): data received.
    static constexpr int kEventReceive = 2;

    // Stuck: the device took nothing for kStuckAfter (a wedged adapter, a
    // link that stopped); nothing is kept to be sent later.
    enum class WriteResult { Written, NotOpen, Lost, Stuck };
    static constexpr std::chrono::milliseconds kStuckAfter{1000};
    using Moment = std::chrono::steady_clock::time_point;

    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;  // closes the device and releases its locks

    // CommPort, 1..16; its device is found as port_discovery.h says.
    void setCommPort(int commPort);
    int commPort() const;
    int setSettings(const QString& settings);  // Settings, "9600,N,8,1"
    qint32 baudRate() const;                   // the speed those settings give
    int open();                                // PortOpen = true
    bool isOpen() const;
    void setRThreshold(int threshold);  // RThreshold; 0 = no notifications

    // Once the port has been opened, a vanished device is reopened by itself,
    // tried every kReopenIntervalMs: an adapter found by its identity wherever
    // it is now, any other device under the same name, with the same settings
    // and the same checks for another holder. Sends in between find the port
    // closed.
    static constexpr int kReopenIntervalMs = 1000;

    // Why the last open() failed: the device it tried and the system's error
    // number (0 when the failure was not the system's, such as a bad number).
    struct OpenFailure {
        QString device;
        int systemError = 0;
    };
    OpenFailure lastOpenFailure() const;
    // The device the port has open, or had before it was lost.
    QString device() const;

    // The adapter's error counters since the port was opened (or opened
    // again after a loss); nothing while it is closed or when its driver
    // keeps none.
    std::optional<LineErrorCounts> lineErrors() const;

    // Output: one byte into the device's output queue. A full queue is waited
    // for, reading meanwhile, but only for kStuckAfter: then Stuck, and the
    // byte is not queued. A vanished device closes the port (Lost, and lost()
    // is emitted once).
    WriteResult output(std::uint8_t byte);

    // Waits until the device has sent every byte it was given, reading
    // meanwhile: Written then, Stuck when that takes longer than kStuckAfter
    // plus their time on the line.
    WriteResult waitSent();

    // After Stuck: throws away what the device still holds to send, so that
    // none of it goes out later on its own. How many bytes that was, as far
    // as the driver counts them.
    int discardUnsent();

    // A pause between frames on this thread, counted from the call (made once
    // waitSent() has seen the frame leave) and never shorter, that keeps
    // reading the device meanwhile: a long pause cannot overflow the device's
    // small receive buffer. Each read is told by arrived() at once; onComm
    // tells it after the caller has returned to the event loop.
    void pauseKeepingInput(std::chrono::milliseconds duration);
    // The same pause, until `end` and never before it.
    void pauseUntil(Moment end);

signals:
    // OnComm: the kind of event and everything that was waiting (Input).
    void onComm(int commEvent, const QByteArray& input);
    // Every read from the device, at once, with when its first byte was seen
    // waiting: for the session record, which keeps arrivals in time order
    // with the frames sent around them. onComm carries the same bytes later.
    void arrived(const QByteArray& bytes, vela::SerialPort::Moment at);
    // The device vanished while open; the port counts as closed until the
    // device can be opened again.
    void lost();
    // A lost device has been opened again with the same settings.
    void reopened();
    // A lost adapter cannot be told apart from others (it had no identity, or
    // two adapters now match it): none is opened, and the port stays closed
    // for the rest of the run.
    void notReopened();

private:
    // Closes the port after its device vanished and tells it once.
    void loseDevice();
    void watch();     // notifiers on the newly opened device
    void readable();  // bytes waiting, or a hang-up
    void gathered();  // the gathering time is over
    // Reads everything waiting and tells it by arrived(); false when the
    // device has gone.
    bool take(Moment now);
    // Waits up to `timeout` for input, and for `also` (room to write); input
    // is taken at once. The events seen; POLLHUP for a device that has gone.
    short watchFor(std::chrono::nanoseconds timeout, short also);
    void readUntil(Moment end);  // reads as bytes come, until `end` or a hang-up

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vela
