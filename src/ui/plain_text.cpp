#include "ui/plain_text.h"

#include <QLabel>
#include <QTextDocument>

namespace vela {

QLabel* plainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(kOutsideTextFormat);
    label->setText(text);
    return label;
}

QString plainToolTip(const QString& text) {
    if (text.isEmpty()) return text;  // no tooltip at all
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

}  // namespace vela
