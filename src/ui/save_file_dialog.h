#pragma once
// The file dialog that asks where to save, behind a seam: tests answer it
// instead of a technician.
#include <QString>
#include <functional>

class QWidget;

namespace vela {

class SaveFileDialog {
public:
    // Given the proposed path, the chosen path or an empty one when cancelled.
    using Answer = std::function<QString(const QString& proposed)>;

    static QString ask(QWidget* parent, const QString& title, const QString& proposed);

    // An empty answer restores the real dialog.
    static void setAnswer(Answer answer);
};

}  // namespace vela
