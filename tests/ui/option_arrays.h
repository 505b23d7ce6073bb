#pragma once
// A window's option arrays, each given by its buttons' names, clicked with the
// mouse as a technician would; what each array holds chosen afterwards.
#include <QAbstractButton>
#include <QTest>

#include "support/controls.h"

namespace vela::test {

using OptionArrays = QList<QStringList>;

// "Option1_0" to "Option1_7" as numbered("Option1_", 0, 7).
inline QStringList numbered(const QString& prefix, int first, int last) {
    QStringList names;
    for (int i = first; i <= last; ++i) names << prefix + QString::number(i);
    return names;
}

// On the indicator, at the left: an option takes clicks on its indicator and
// caption only, not on the empty rest of its width.
inline void click(QWidget& window, const QString& button) {
    QAbstractButton& clicked = child<QAbstractButton>(window, button);
    const int middle = clicked.height() / 2;
    QTest::mouseClick(&clicked, Qt::LeftButton, {}, QPoint(middle, middle));
}

// The chosen buttons of each array, "+" between them and " | " between arrays.
inline QString chosen(QWidget& window, const OptionArrays& arrays) {
    QStringList perArray;
    for (const QStringList& array : arrays) {
        QStringList names;
        for (const QString& name : array) {
            if (child<QAbstractButton>(window, name).isChecked()) names << name;
        }
        perArray << names.join(u'+');
    }
    return perArray.join(QStringLiteral(" | "));
}

// For each array in turn: every array gets its last option chosen; then the
// tested array's first and last options are clicked twice each, the second
// time when already chosen. After each click that array holds just the
// clicked option, the others theirs.
inline void clickThroughArrays(QWidget& window, const OptionArrays& arrays) {
    for (qsizetype tested = 0; tested < arrays.size(); ++tested) {
        QStringList expected;
        for (const QStringList& array : arrays) {
            click(window, array.last());
            expected << array.last();
        }
        const QStringList& own = arrays[tested];
        for (const QString& name : {own.first(), own.first(), own.last(), own.last(), own.first()}) {
            click(window, name);
            expected[tested] = name;
            QCOMPARE(chosen(window, arrays), expected.join(QStringLiteral(" | ")));
        }
    }
}

}  // namespace vela::test
