#include "ui/wrapping_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace vela {

namespace {
constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap;
}

WrappingButton::WrappingButton(QWidget* parent) : QPushButton(parent) {}

QSize WrappingButton::sizeHint() const {
    const QSize plain = QPushButton::sizeHint();
    const QRect text = fontMetrics().boundingRect(QRect(0, 0, width(), 0), kTextFlags, this->text());
    return plain.expandedTo(QSize(plain.width(), text.height() + 6));
}

void WrappingButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();  // the bevel from the style, the caption drawn below
    painter.drawControl(QStyle::CE_PushButton, option);

    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::ButtonText));
    painter.drawText(area, kTextFlags, text());
}

}  // namespace vela
