#pragma once
// The text a tooltip shows: Qt takes a tooltip as markup when it looks like
// markup, and as it is otherwise.
#include <QString>
#include <QTextDocument>

namespace vela::test {

inline QString shownToolTip(const QString& tip) {
    if (!Qt::mightBeRichText(tip)) return tip;
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText();
}

}  // namespace vela::test
