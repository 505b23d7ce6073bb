#include "ui/received_log.h"

#include <QAccessible>
#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "ui/received_log_accessible.h"

namespace vela {

namespace {
constexpr qsizetype kMaxCachedWidths = 1024;
}  // namespace

ReceivedLog::ReceivedLog(QWidget* parent) : QAbstractScrollArea(parent) {
    installReceivedLogAccessibility();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAccessibleName(QStringLiteral("Gelen bayt kaydı"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
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
    announceAppended();

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
    qsizetype characters = 0;
    while (text_.size() - characters > kKeptCharacters && lines_.size() > 1) {
        const qint64 next = lines_[1];
        characters = static_cast<qsizetype>(token(next).start - firstChar_);
        tokens_.erase(tokens_.begin(), tokens_.begin() + static_cast<std::ptrdiff_t>(next - firstToken_));
        firstToken_ = next;
        lines_.pop_front();
        ++dropped;
    }
    if (characters == 0) return 0;
    const QString removed = QAccessible::isActive() ? text_.left(characters) : QString();
    text_.remove(0, characters);
    firstChar_ += characters;
    anchor_ = std::max(anchor_, firstChar_);
    cursor_ = std::max(cursor_, firstChar_);
    if (!removed.isEmpty()) {
        QAccessibleTextRemoveEvent event(this, 0, removed);
        QAccessible::updateAccessibility(&event);
    }
    return dropped;
}

// Assistive tools are told of the text appended since they were last told,
// once per layout rather than once per byte.
void ReceivedLog::announceAppended() {
    const qint64 end = firstChar_ + text_.size();
    if (QAccessible::isActive() && end > announcedEnd_) {
        const auto at = static_cast<qsizetype>(std::max(announcedEnd_, firstChar_) - firstChar_);
        QAccessibleTextInsertEvent event(this, static_cast<int>(at), text_.mid(at));
        QAccessible::updateAccessibility(&event);
    }
    announcedEnd_ = end;
}

int ReceivedLog::visibleLines() const {
    const qreal spacing = QFontMetricsF(font()).lineSpacing();
    return std::max(1, static_cast<int>((viewport()->height() - 2 * kMargin) / spacing));
}

qint64 ReceivedLog::lineBegin(std::size_t line) const {
    const Token& first = token(lines_[line]);
    return first.start + first.lead;
}

qint64 ReceivedLog::lineEnd(std::size_t line) const {
    if (line + 1 < lines_.size()) return lineBegin(line + 1);
    if (laidOutEnd_ <= lines_[line]) return lineBegin(line);
    const Token& last = token(laidOutEnd_ - 1);
    return last.start + last.length;
}

std::size_t ReceivedLog::lineOf(qint64 position) const {
    const auto after = std::upper_bound(lines_.begin(), lines_.end(), position, [this](qint64 p, qint64 number) {
        return p < token(number).start + token(number).lead;
    });
    return after == lines_.begin() ? 0 : static_cast<std::size_t>(after - lines_.begin() - 1);
}

QString ReceivedLog::lineText(std::size_t line) const {
    const qint64 from = lineBegin(line);
    return text_.mid(static_cast<qsizetype>(from - firstChar_), static_cast<qsizetype>(lineEnd(line) - from));
}

qreal ReceivedLog::xOf(std::size_t line, qint64 position) const {
    const qint64 column = std::clamp<qint64>(position - lineBegin(line), 0, lineEnd(line) - lineBegin(line));
    return kMargin + QFontMetricsF(font()).horizontalAdvance(lineText(line).left(static_cast<qsizetype>(column)));
}

void ReceivedLog::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QFontMetricsF metrics(font());
    const qreal spacing = metrics.lineSpacing();
    const auto top = static_cast<std::size_t>(verticalScrollBar()->value());
    const auto rows = static_cast<std::size_t>(std::ceil(viewport()->height() / spacing));
    const qint64 selectedFrom = std::min(anchor_, cursor_);
    const qint64 selectedTo = std::max(anchor_, cursor_);
    for (std::size_t row = 0; row <= rows && top + row < lines_.size(); ++row) {
        const std::size_t line = top + row;
        const QString shown = lineText(line);
        const QPointF baseline(kMargin, kMargin + row * spacing + metrics.ascent());
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(baseline, shown);
        const qint64 from = std::max(selectedFrom, lineBegin(line));
        const qint64 to = std::min(selectedTo, lineEnd(line));
        if (from < to) {
            const QRectF band(QPointF(xOf(line, from), kMargin + row * spacing),
                              QPointF(xOf(line, to), kMargin + (row + 1) * spacing));
            painter.fillRect(band, palette().brush(QPalette::Highlight));
            painter.save();
            painter.setClipRect(band);
            painter.setPen(palette().color(QPalette::HighlightedText));
            painter.drawText(baseline, shown);
            painter.restore();
        }
        if (hasFocus() && line == lineOf(cursor_)) {
            const qreal x = xOf(line, cursor_);
            painter.drawLine(QPointF(x, kMargin + row * spacing), QPointF(x, kMargin + (row + 1) * spacing - 1));
        }
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
