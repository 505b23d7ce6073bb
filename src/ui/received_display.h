#pragma once
// What the monitor shows of the bytes it receives: every byte logged in Text7
// in arrival order, the last frame the monitor (protocol/monitor.h) found
// under "GELEN DATALAR:" (GelenLabel) with its sentence (GelenKomutLabel), one
// beep a byte and two more a frame.
//
// The data is handled as it arrives; the display follows at a pace a person
// can read. A delivery after a quiet line is shown at once, so a key press
// appears as soon as the port hands it over. While bytes keep coming the
// display is refreshed, with everything that came since, by the first
// delivery at least kRefreshInterval after the last refresh; once the line
// goes quiet, what came last is shown within kRefreshInterval. A busy line
// thereby costs a tenth of a second's worth of painting, and of messages to
// assistive tools, instead of one round per delivery.
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <chrono>
#include <deque>
#include <optional>
#include <span>

#include "protocol/monitor.h"

class QByteArray;
class QLabel;

namespace vela {

class ReceivedLog;

class ReceivedDisplay : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kRefreshInterval{100};
    // A line without a delivery this long is quiet; the next one is shown at once.
    static constexpr std::chrono::milliseconds kQuietLine{100};
    // A busy line delivers once every gathering time of the port (30 ms); a
    // delivery this late means the line has gone quiet.
    static constexpr std::chrono::milliseconds kNextDelivery{35};

    ReceivedDisplay(ReceivedLog& log, const std::array<QLabel*, 7>& values, QLabel& sentence);

    // The frames the monitor found as the bytes were read, ahead of the bytes.
    void found(std::span<const RecognisedFrame> frames);
    // The bytes of one delivery, in arrival order; the frames found in them
    // are shown with them.
    void take(const QByteArray& input);

private:
    void refresh();

    ReceivedLog& log_;
    std::array<QLabel*, 7> values_;
    QLabel& sentence_;
    std::deque<RecognisedFrame> found_;            // frames whose last byte is still to come here
    std::uint64_t taken_ = 0;                      // bytes taken, counted as the monitor counts them
    QString unshownLog_;                           // logged bytes not yet in Text7
    std::optional<RecognisedFrame> unshownFrame_;  // the last frame, until shown
    // Set so that the first delivery is shown at once.
    std::chrono::steady_clock::time_point lastDelivery_;
    std::chrono::steady_clock::time_point lastRefresh_;
    QTimer refreshTimer_;
};

}  // namespace vela
