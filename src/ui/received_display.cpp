#include "ui/received_display.h"

#include <QByteArray>
#include <QLabel>
#include <algorithm>
#include <utility>

#include "ui/feedback.h"
#include "ui/received_log.h"

namespace vela {

namespace {

QString shown(Byte value) { return QString::fromStdString(byte_text(value)); }

// A received byte as the log shows it: a blank, then the byte as the displays
// show it ("  170"). Made once, as every byte of the line passes here.
const QString& loggedByte(Byte value) {
    static const auto texts = [] {
        std::array<QString, 256> made;
        for (int b = 0; b < 256; ++b) made[static_cast<std::size_t>(b)] = QString(u' ') + shown(static_cast<Byte>(b));
        return made;
    }();
    return texts[value];
}

}  // namespace

ReceivedDisplay::ReceivedDisplay(ReceivedLog& log, const std::array<QLabel*, 7>& values, QLabel& sentence)
    : log_(log),
      values_(values),
      sentence_(sentence),
      lastDelivery_(std::chrono::steady_clock::now() - kQuietLine),
      lastRefresh_(lastDelivery_) {
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire early, refreshing too often
    connect(&refreshTimer_, &QTimer::timeout, this, &ReceivedDisplay::refresh);
}

// Every waiting byte is handled, in arrival order: an adapter that hands
// over several bytes at once must not cost the monitor any of them. Each byte
// beeps and is logged, each valid frame beeps twice; only the last valid frame
// is shown, since nothing is painted between the bytes of one delivery anyway.
void ReceivedDisplay::take(const QByteArray& input) {
    unshownLog_.reserve(unshownLog_.size() + input.size() * 5);
    for (const char received : input) {
        const auto value = static_cast<Byte>(received);
        Feedback::beep();
        unshownLog_ += loggedByte(value);
        if (const std::optional<Frame> frame = GelenData.push(value)) {
            Feedback::beep();
            unshownFrame_ = frame;
            Feedback::beep();
        }
    }
    const auto now = std::chrono::steady_clock::now();
    const bool afterQuiet = now - lastDelivery_ >= kQuietLine;
    lastDelivery_ = now;
    const auto due = lastRefresh_ + kRefreshInterval;
    if (afterQuiet || now >= due) {
        refresh();
        return;
    }
    // On a busy line the delivery after `due` refreshes, so the timer, put off
    // by each delivery, fires only once the line has gone quiet: no wake-up
    // of its own while bytes keep coming.
    refreshTimer_.start(std::chrono::ceil<std::chrono::milliseconds>(std::max(due, now + kNextDelivery) - now));
}

void ReceivedDisplay::refresh() {
    refreshTimer_.stop();
    lastRefresh_ = std::chrono::steady_clock::now();
    if (!unshownLog_.isEmpty()) log_.append(std::exchange(unshownLog_, {}));
    if (!unshownFrame_) return;
    for (std::size_t i = 0; i < values_.size(); ++i) values_[i]->setText(shown((*unshownFrame_)[i]));
    sentence_.setText(QString::fromUtf8(decoded_sentence(*unshownFrame_)));
    unshownFrame_.reset();
}

}  // namespace vela
