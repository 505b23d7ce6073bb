#include "ui/received_display.h"

#include <QByteArray>
#include <QLabel>
#include <algorithm>
#include <utility>

#include "ui/feedback.h"
#include "ui/received_log.h"
#include "ui/shown_byte.h"

namespace vela {

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

void ReceivedDisplay::found(std::span<const RecognisedFrame> frames) {
    found_.insert(found_.end(), frames.begin(), frames.end());
}

// Every byte is handled, in arrival order: an adapter that hands over several
// bytes at once must not cost the monitor any of them. Each byte beeps and is
// logged, each frame found beeps twice once its last byte is logged; only the
// last frame is shown, since nothing is painted between the bytes of one
// delivery anyway.
void ReceivedDisplay::take(const QByteArray& input) {
    unshownLog_.reserve(unshownLog_.size() + input.size() * 5);
    for (const char received : input) {
        ++taken_;
        Feedback::beep();
        unshownLog_ += u' ';
        unshownLog_ += shownByte(static_cast<Byte>(received));
        while (!found_.empty() && found_.front().byte_number <= taken_) {
            Feedback::beep();
            unshownFrame_ = found_.front();
            found_.pop_front();
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
    for (std::size_t i = 0; i < values_.size(); ++i) values_[i]->setText(shownByte(unshownFrame_->frame[i]));
    sentence_.setText(QString::fromUtf8(unshownFrame_->sentence));
    unshownFrame_.reset();
}

}  // namespace vela
