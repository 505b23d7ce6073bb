#include "ui/plain_cell_delegate.h"

#include <QPainter>

namespace vela {

void PlainCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) painter->fillRect(option.rect, option.palette.highlight());
    const QVariant colour = index.data(Qt::ForegroundRole);
    painter->setPen(selected           ? option.palette.highlightedText().color()
                    : colour.isValid() ? colour.value<QBrush>().color()
                                       : option.palette.text().color());
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    const int flags = (alignment.isValid() ? alignment.toInt() : int(Qt::AlignLeft | Qt::AlignVCenter)) |
                      Qt::TextSingleLine;
    const int margin = option.fontMetrics.horizontalAdvance(QLatin1Char(' '));
    painter->save();
    painter->setClipRect(option.rect);
    painter->drawText(option.rect.adjusted(margin, 0, -margin, 0), flags, index.data().toString());
    painter->restore();
}

}  // namespace vela
