#include "ui/console_style.h"

#include <QApplication>

namespace vela {

QFont consoleFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(10);
    return font;
}

QFont headingFont(int pixelSize) {
    QFont font(QStringLiteral("Liberation Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

void applyConsoleStyle(QApplication& application) {
    // Fusion draws the same on every desktop, so the fixed positions hold.
    application.setStyle(QStringLiteral("Fusion"));
    application.setFont(consoleFont());
}

}  // namespace vela
