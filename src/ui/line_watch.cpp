#include "ui/line_watch.h"

namespace vela {

LineWatch::LineWatch(SerialPort& port, SessionRecorder& recorder, QObject* parent)
    : QObject(parent), port_(port), recorder_(recorder) {
    errorCheck_.setInterval(kErrorCheckInterval);
    connect(&errorCheck_, &QTimer::timeout, this, &LineWatch::checkErrors);
    errorCheck_.start();
}

LineStatus::Time LineWatch::timeOf(Moment at) {
    return std::chrono::duration_cast<LineStatus::Time>(at.time_since_epoch());
}

void LineWatch::sent(Device device, const Frame& frame, const QString& command, Moment at) {
    status_.sent(device, frame, command.toStdString(), timeOf(at));
    emit changed();
}

void LineWatch::received(std::size_t count, std::uint64_t outsideFrames, Moment at) {
    status_.received(count, outsideFrames, timeOf(at));
    emit changed();
}

void LineWatch::recognised(const Frame& frame, Moment at) { status_.recognised(frame, timeOf(at)); }

void LineWatch::setAnswerWindow(std::chrono::milliseconds window) { status_.set_window(window); }

std::optional<AdapterErrors> LineWatch::adapterErrors() const {
    const std::optional<LineErrorCounts> counts = port_.lineErrors();
    if (!counts) return std::nullopt;
    return AdapterErrors{counts->framing, counts->parity, counts->overrun, counts->bufferOverrun, counts->breaks};
}

void LineWatch::checkErrors() {
    const std::optional<AdapterErrors> now = adapterErrors();
    if (!now) return;
    const AdapterErrors before = lastErrors_.value_or(AdapterErrors{});
    lastErrors_ = now;
    // Counts that fell are a port opened again, counting from 0: nothing happened on the line.
    const bool grew = now->framing > before.framing || now->parity > before.parity || now->overrun > before.overrun ||
                      now->buffer_overrun > before.buffer_overrun || now->breaks > before.breaks;
    if (!grew) return;
    recorder_.lineStatus(QString::fromStdString(adapter_errors_meaning(before, *now)));
    emit changed();
}

void LineWatch::recordSummary() {
    recorder_.lineStatus(
        QString::fromStdString(line_summary_meaning(status_.devices(), status_.totals(), adapterErrors())));
}

void LineWatch::reset() {
    status_.reset();
    recorder_.lineStatus(QString::fromUtf8(kLineResetMeaning));
    emit changed();
}

}  // namespace vela
