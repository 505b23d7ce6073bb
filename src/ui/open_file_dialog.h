#pragma once
// The file dialog that asks which file to open, behind a seam: tests answer
// it instead of a technician.
#include <QString>
#include <functional>

class QWidget;

namespace vela {

class OpenFileDialog {
public:
    // Given the folder it opens in, the chosen path or an empty one when
    // cancelled.
    using Answer = std::function<QString(const QString& folder)>;

    static QString ask(QWidget* parent, const QString& title, const QString& folder);

    // An empty answer restores the real dialog.
    static void setAnswer(Answer answer);
};

}  // namespace vela
