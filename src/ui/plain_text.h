#pragma once
// Text from outside the console (record fields, file and device names,
// adapters' strings, system errors) is shown as the characters it holds,
// never as markup: a label left to decide for itself takes "<b>" for bold and
// "<img src=…>" for a file to load. Every label, box and tooltip that can
// carry such text goes through here.
#include <QString>
#include <Qt>

class QLabel;
class QWidget;

namespace vela {

// The format every box and label with outside text is given.
inline constexpr Qt::TextFormat kOutsideTextFormat = Qt::PlainText;

// A label that shows its text as plain text, now and after every setText().
QLabel* plainLabel(const QString& text, QWidget* parent = nullptr);

// A tooltip that shows `text` as it is: Qt guesses whether a tooltip is
// markup, so the text is escaped and given as markup that says only that.
QString plainToolTip(const QString& text);

}  // namespace vela
