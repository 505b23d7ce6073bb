#include "ui/save_file_dialog.h"

#include <QFileDialog>

namespace vela {

namespace {
SaveFileDialog::Answer& answer() {
    static SaveFileDialog::Answer given;
    return given;
}
}  // namespace

QString SaveFileDialog::ask(QWidget* parent, const QString& title, const QString& proposed) {
    if (answer()) return answer()(proposed);
    return QFileDialog::getSaveFileName(parent, title, proposed);
}

void SaveFileDialog::setAnswer(Answer given) { answer() = std::move(given); }

}  // namespace vela
