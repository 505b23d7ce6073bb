#pragma once
// What the window tests share beside the test console: the console's style
// and the bytes as the displays show them.
#include <QApplication>

#include "support/console.h"
#include "support/device_link.h"
#include "ui/console_style.h"

namespace vela::test {

inline void useConsoleStyle() { applyConsoleStyle(*static_cast<QApplication*>(QCoreApplication::instance())); }

// "AA 0F" as the byte values 170, 15.
inline QList<int> hex(const QString& bytes) {
    QList<int> values;
    for (const QString& b : bytes.split(u' ', Qt::SkipEmptyParts)) values << b.toInt(nullptr, 16);
    return values;
}
inline QList<int> asInts(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// " 170" for each byte, as the sent and received displays show it.
inline QStringList shownBytes(const QList<int>& bytes) {
    QStringList texts;
    for (int b : bytes) texts << QStringLiteral(" %1").arg(b);
    return texts;
}

}  // namespace vela::test
