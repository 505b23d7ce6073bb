#pragma once
// Finding, typing into and pressing the controls of a window by their names,
// as a technician would.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

namespace vela::test {

template <class T>
T& child(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found) throw std::runtime_error("no control " + name.toStdString());
    return *found;
}

inline void press(QWidget& window, const QString& button) { child<QPushButton>(window, button).click(); }

// Replaces a field's text key by key. keyClick() knows ASCII keys only; "ı"
// and the other letters beyond ASCII come as keys with their text.
inline bool typeText(QLineEdit* edit, const QString& text) {
    if (!edit) return false;
    edit->clear();
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(edit, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    return edit->text() == text;
}

}  // namespace vela::test
