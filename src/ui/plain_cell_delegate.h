#pragma once
// Paints a table cell's text in one call, clipped to the cell: the style's
// own item painting lays each text out twice (to elide, then to draw), which
// on a busy line was most of what an open "Hat Durumu" cost.
#include <QStyledItemDelegate>

namespace vela {

class PlainCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace vela
