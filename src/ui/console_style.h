#pragma once
// The faces and the twip scale the windows are laid out with. The controls'
// sizes were made for a compact 8-point sans face: Liberation Sans at 10 px
// fits every caption; headings use a bold serif face.
#include <QFont>
#include <QRect>

class QApplication;

namespace vela {

inline constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips) { return twips / kTwipsPerPixel; }
constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

QFont consoleFont();
QFont headingFont(int pixelSize);

// Sets the console face for the whole program.
void applyConsoleStyle(QApplication& application);

}  // namespace vela
