#include "ui/received_log.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace vela {

namespace {
constexpr int kMargin = 2;
constexpr qsizetype kMaxCachedWidths = 1024;
}  // namespace

ReceivedLog::ReceivedLog(QWidget* parent) : QAbstractScrollArea(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAccessibleName(QStringLiteral("Gelen bayt kaydı"));
    updateTimer_.setSingleShot(true);
    updateTimer_.setInterval(kUpdateIntervalMs);
    connect(&updateTimer_, &QTimer::timeout, this, &ReceivedLog::layOutPending);
}

void ReceivedLog::append(QStringView text) {
    if (text.isEmpty()) return;
    qsizetype from = text_.size();
    if (!tokens_.empty()) {
        // The last token grows when its word goes on or when it has no word yet.
        const Token& last = tokens_.back();
        if (last.lead == last.length || text.front() != u' ') {
            from = static_cast<qsizetype>(last.start - firstChar_);
            laidOutEnd_ = std::min(laidOutEnd_, tokenEnd() - 1);
            tokens_.pop_back();
        }
    }
    text_.append(text);
    tokenize(from);
    if (!updateTimer_.isActive()) updateTimer_.start();
}

void ReceivedLog::tokenize(qsizetype from) {
    const qsizetype end = text_.size();
    qsizetype i = from;
    while (i < end) {
        const qsizetype start = i;
        while (i < end && text_[i] == u' ') ++i;
        const qsizetype wordStart = i;
        while (i < end && text_[i] != u' ') ++i;
        tokens_.push_back({firstChar_ + start, static_cast<int>(wordStart - start), static_cast<int>(i - start)});
    }
}

void ReceivedLog::measure(Token& t, const QFontMetricsF& metrics) {
    if (t.wordWidth >= 0) return;
    const auto wordAt = static_cast<qsizetype>(t.start - firstChar_) + t.lead;
    const QString word = text_.mid(wordAt, t.length - t.lead);
    auto cached = wordWidths_.constFind(word);
    if (cached == wordWidths_.constEnd()) {
        if (wordWidths_.size() >= kMaxCachedWidths) wordWidths_.clear();
        cached = wordWidths_.insert(word, metrics.horizontalAdvance(word));
    }
    t.wordWidth = *cached;
    t.leadWidth = t.lead * metrics.horizontalAdvance(u' ');
}

// Lays out the last line again (it may have grown) and every token after it,
// trims the front and repaints only when something in view changed.
void ReceivedLog::layOutPending() {
    const qreal available = viewport()->width() - 2 * kMargin;
    qint64 from = firstToken_;
    if (!lines_.empty()) {
        from = lines_.back();
        lines_.pop_back();
    }
    const auto firstChangedLine = static_cast<qint64>(lines_.size());
    const QFontMetricsF metrics(font());
    qreal x = 0;
    for (qint64 number = from; number < tokenEnd(); ++number) {
        Token& t = token(number);
        measure(t, metrics);
        // Blanks at a wrap stay behind on the line before.
        if (number == from || x + t.leadWidth + t.wordWidth > available) {
            lines_.push_back(number);
            x = t.wordWidth;
        } else {
            x += t.leadWidth + t.wordWidth;
        }
    }
    laidOutEnd_ = tokenEnd();

    const int dropped = trimFront();
    QScrollBar& bar = *verticalScrollBar();
    const int top = std::max(0, bar.value() - dropped);  // the lines in view stay in view
    const int visible = visibleLines();
    bar.setRange(0, std::max(0, static_cast<int>(lines_.size()) - visible));
    bar.setPageStep(visible);
    bar.setSingleStep(1);
    bar.setValue(top);
    if (dropped > 0 || firstChangedLine <= top + visible) viewport()->update();
}

void ReceivedLog::layOutAgain() {
    lines_.clear();
    laidOutEnd_ = firstToken_;
    layOutPending();
}

// Drops whole lines while the text is over its bound, so the lines that stay
// keep their layout. Returns the number of lines dropped.
int ReceivedLog::trimFront() {
    int dropped = 0;
    while (text_.size() > kKeptCharacters && lines_.size() > 1) {
        const qint64 next = lines_[1];
        const auto characters = static_cast<qsizetype>(token(next).start - firstChar_);
        text_.remove(0, characters);
        firstChar_ += characters;
        tokens_.erase(tokens_.begin(), tokens_.begin() + static_cast<std::ptrdiff_t>(next - firstToken_));
        firstToken_ = next;
        lines_.pop_front();
        ++dropped;
    }
    return dropped;
}

int ReceivedLog::visibleLines() const {
    const qreal spacing = QFontMetricsF(font()).lineSpacing();
    return std::max(1, static_cast<int>((viewport()->height() - 2 * kMargin) / spacing));
}

QString ReceivedLog::lineText(std::size_t line) const {
    const Token& first = token(lines_[line]);
    const qint64 from = first.start + first.lead;
    qint64 end = from;
    if (line + 1 < lines_.size()) {
        end = token(lines_[line + 1]).start;
    } else if (laidOutEnd_ > lines_[line]) {
        const Token& last = token(laidOutEnd_ - 1);
        end = last.start + last.length;
    }
    return text_.mid(static_cast<qsizetype>(from - firstChar_), static_cast<qsizetype>(std::max<qint64>(0, end - from)));
}

void ReceivedLog::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetricsF metrics(font());
    const qreal spacing = metrics.lineSpacing();
    const auto top = static_cast<std::size_t>(verticalScrollBar()->value());
    const auto rows = static_cast<std::size_t>(std::ceil(viewport()->height() / spacing));
    for (std::size_t row = 0; row <= rows && top + row < lines_.size(); ++row) {
        painter.drawText(QPointF(kMargin, kMargin + row * spacing + metrics.ascent()), lineText(top + row));
    }
}

void ReceivedLog::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    layOutAgain();
}

void ReceivedLog::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() != QEvent::FontChange) return;
    wordWidths_.clear();
    for (Token& t : tokens_) t.wordWidth = -1;
    layOutAgain();
}

}  // namespace vela
