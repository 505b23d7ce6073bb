#include "ui/wrapping_button.h"

#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace vela {

namespace {
// Room kept between the caption and the bevel on either side.
constexpr int kSidePadding = 2;
}  // namespace

WrappingButton::WrappingButton(QWidget* parent) : QPushButton(parent) {}

QStringList WrappingButton::captionLines(const QFontMetrics& metrics, const QString& caption, int width) {
    static const QRegularExpression word(QStringLiteral("[^ ]+"));
    QStringList lines;
    qsizetype lineStart = -1;
    qsizetype lineEnd = -1;
    for (auto it = word.globalMatch(caption); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const qsizetype end = match.capturedEnd();
        if (lineStart < 0) {
            lineStart = 0;  // leading blanks take room on the first line, as they do on screen
        } else if (metrics.horizontalAdvance(caption.mid(lineStart, end - lineStart)) > width) {
            lines << caption.mid(lineStart, lineEnd - lineStart);
            lineStart = match.capturedStart();
        }
        lineEnd = end;
    }
    if (lineStart >= 0) lines << caption.mid(lineStart, lineEnd - lineStart);
    for (QString& line : lines) line = line.trimmed();
    return lines;
}

QRect WrappingButton::captionArea() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()
        ->subElementRect(QStyle::SE_PushButtonContents, &option, this)
        .adjusted(kSidePadding, 0, -kSidePadding, 0);
}

bool WrappingButton::captionFits() const {
    const QRect area = captionArea();
    const QFontMetrics metrics = fontMetrics();
    const QStringList lines = captionLines(metrics, text(), area.width());
    if (lines.size() * metrics.lineSpacing() > area.height()) return false;
    for (const QString& line : lines) {
        if (metrics.horizontalAdvance(line) > area.width()) return false;
    }
    return true;
}

QSize WrappingButton::sizeHint() const {
    const QSize plain = QPushButton::sizeHint();
    const int lines = static_cast<int>(captionLines(fontMetrics(), text(), captionArea().width()).size());
    return plain.expandedTo(QSize(plain.width(), lines * fontMetrics().lineSpacing() + 6));
}

void WrappingButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();  // the bevel from the style, the caption drawn below
    painter.drawControl(QStyle::CE_PushButton, option);

    const QRect area = captionArea();
    const QFontMetrics metrics = fontMetrics();
    const QStringList lines = captionLines(metrics, text(), area.width());
    const int spacing = metrics.lineSpacing();
    int top = area.top() + (area.height() - static_cast<int>(lines.size()) * spacing) / 2;
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    for (const QString& line : lines) {
        painter.drawText(QRect(area.left(), top, area.width(), spacing), Qt::AlignCenter, line);
        top += spacing;
    }
}

}  // namespace vela
