// Text7 as a text box: selecting with mouse and keyboard, copying, its context
// menu. The text itself never changes here: the log is read-only.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "ui/received_log.h"

namespace vela {

QString ReceivedLog::selectedText() const { return text_.mid(selectionStart(), selectionEnd() - selectionStart()); }

void ReceivedLog::setSelection(qsizetype anchor, qsizetype cursor) {
    const auto clamped = [this](qsizetype offset) {
        return firstChar_ + std::clamp<qsizetype>(offset, 0, text_.size());
    };
    anchor_ = clamped(anchor);
    cursor_ = clamped(cursor);
    selectionChanged();
}

void ReceivedLog::selectAll() { setSelection(0, text_.size()); }

void ReceivedLog::copy() const {
    if (selectionStart() < selectionEnd()) QGuiApplication::clipboard()->setText(selectedText());
}

QMenu* ReceivedLog::createContextMenu() {
    auto* menu = new QMenu(this);
    QAction* copying = menu->addAction(QStringLiteral("Kopyala"), this, &ReceivedLog::copy);
    copying->setShortcut(QKeySequence::Copy);
    copying->setEnabled(selectionStart() < selectionEnd());
    menu->addAction(QStringLiteral("Tümünü Seç"), this, &ReceivedLog::selectAll)->setShortcut(QKeySequence::SelectAll);
    if (!actions().isEmpty()) {
        menu->addSeparator();
        menu->addActions(actions());
    }
    return menu;
}

void ReceivedLog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QRect ReceivedLog::characterRect(qsizetype offset) const {
    if (lines_.empty()) return {};
    const qint64 position = firstChar_ + std::clamp<qsizetype>(offset, 0, text_.size());
    const std::size_t line = lineOf(position);
    const int row = static_cast<int>(line) - verticalScrollBar()->value();
    if (row < 0 || row > visibleLines()) return {};
    const qreal spacing = QFontMetricsF(font()).lineSpacing();
    const qreal left = xOf(line, position);
    const qreal right = position < lineEnd(line) ? xOf(line, position + 1) : left;
    return QRectF(QPointF(left, kMargin + row * spacing), QPointF(right, kMargin + (row + 1) * spacing))
        .toAlignedRect();
}

qsizetype ReceivedLog::offsetAt(QPoint point) const { return positionAt(point) - firstChar_; }

void ReceivedLog::ensureVisible(qsizetype offset) {
    if (lines_.empty()) return;
    const int line = static_cast<int>(lineOf(firstChar_ + std::clamp<qsizetype>(offset, 0, text_.size())));
    QScrollBar& bar = *verticalScrollBar();
    if (line < bar.value()) bar.setValue(line);
    if (line >= bar.value() + visibleLines()) bar.setValue(line - visibleLines() + 1);
}

// The token that holds the character at a position.
qint64 ReceivedLog::tokenAt(qint64 position) const {
    const auto after = std::upper_bound(tokens_.begin(), tokens_.end(), position,
                                        [](qint64 p, const Token& t) { return p < t.start; });
    return firstToken_ + std::max<qint64>(0, after - tokens_.begin() - 1);
}

// The character boundary nearest to x on a line.
qint64 ReceivedLog::positionAt(std::size_t line, qreal x) const {
    const QString shown = lineText(line);
    const QFontMetricsF metrics(font());
    qreal before = kMargin;
    for (qsizetype column = 0; column < shown.size(); ++column) {
        const qreal after = kMargin + metrics.horizontalAdvance(shown.left(column + 1));
        if (x < (before + after) / 2) return lineBegin(line) + column;
        before = after;
    }
    return lineEnd(line);
}

qint64 ReceivedLog::positionAt(QPoint point) const {
    if (lines_.empty()) return firstChar_;
    const qreal spacing = QFontMetricsF(font()).lineSpacing();
    const qint64 line = verticalScrollBar()->value() + static_cast<qint64>(std::floor((point.y() - kMargin) / spacing));
    return positionAt(static_cast<std::size_t>(std::clamp<qint64>(line, 0, static_cast<qint64>(lines_.size()) - 1)),
                      point.x());
}

void ReceivedLog::moveCursor(qint64 position, bool keepAnchor) {
    cursor_ = std::clamp<qint64>(position, firstChar_, firstChar_ + text_.size());
    if (!keepAnchor) anchor_ = cursor_;
    ensureVisible(cursorPosition());
    selectionChanged();
}

void ReceivedLog::selectionChanged() {
    viewport()->update();
    if (!QAccessible::isActive()) return;
    QAccessibleTextCursorEvent moved(this, static_cast<int>(cursorPosition()));
    QAccessible::updateAccessibility(&moved);
    QAccessibleTextSelectionEvent selected(this, static_cast<int>(selectionStart()), static_cast<int>(selectionEnd()));
    QAccessible::updateAccessibility(&selected);
}

void ReceivedLog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    moveCursor(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void ReceivedLog::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) moveCursor(positionAt(event->position().toPoint()), true);
}

// As in every X11 text box, a selection made with the mouse is offered for
// pasting with the middle button.
void ReceivedLog::mouseReleaseEvent(QMouseEvent* event) {
    QClipboard& clipboard = *QGuiApplication::clipboard();
    if (event->button() == Qt::LeftButton && clipboard.supportsSelection() && selectionStart() < selectionEnd())
        clipboard.setText(selectedText(), QClipboard::Selection);
}

// A double click selects the number under the pointer.
void ReceivedLog::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || tokens_.empty()) return;
    const Token& t = token(tokenAt(positionAt(event->position().toPoint())));
    anchor_ = std::max(firstChar_, t.start + t.lead);
    moveCursor(t.start + t.length, true);
}

void ReceivedLog::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (!moveByKey(event)) {
        QAbstractScrollArea::keyPressEvent(event);  // scrolls by page; typing is ignored
    }
}

// The standard cursor keys of the platform; with Shift they extend the
// selection.
bool ReceivedLog::moveByKey(QKeyEvent* event) {
    const qint64 end = firstChar_ + text_.size();
    const std::size_t line = lineOf(cursor_);
    const auto wordStartAfter = [this, end](qint64 p) {
        const qint64 next = tokenAt(p) + 1;
        return next < tokenEnd() ? token(next).start + token(next).lead : end;
    };
    const auto wordStartBefore = [this](qint64 p) {
        const Token& t = token(tokenAt(std::max(firstChar_, p - 1)));
        return std::max(firstChar_, t.start + t.lead < p ? t.start + t.lead : t.start);
    };
    const auto onLine = [this, &line](int step) {
        const qint64 target = static_cast<qint64>(line) + step;
        if (target < 0 || target >= static_cast<qint64>(lines_.size())) return cursor_;
        return positionAt(static_cast<std::size_t>(target), xOf(line, cursor_));
    };
    struct Move {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        qint64 to;
    };
    const bool laidOut = !lines_.empty() && !tokens_.empty();
    const Move moves[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, cursor_ + 1},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, cursor_ - 1},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, laidOut ? wordStartAfter(cursor_) : end},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord,
         laidOut ? wordStartBefore(cursor_) : firstChar_},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, laidOut ? lineBegin(line) : firstChar_},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine,
         !laidOut                   ? end
         : line + 1 < lines_.size() ? token(lines_[line + 1]).start
                                    : lineEnd(line)},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, laidOut ? onLine(1) : cursor_},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, laidOut ? onLine(-1) : cursor_},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, firstChar_},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, end},
    };
    for (const Move& m : moves) {
        if (event->matches(m.move) || event->matches(m.select)) {
            moveCursor(m.to, event->matches(m.select));
            return true;
        }
    }
    return false;
}

void ReceivedLog::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ReceivedLog::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

}  // namespace vela
