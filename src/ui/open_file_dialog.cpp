#include "ui/open_file_dialog.h"

#include <QFileDialog>

namespace vela {

namespace {
OpenFileDialog::Answer& answer() {
    static OpenFileDialog::Answer given;
    return given;
}
}  // namespace

QString OpenFileDialog::ask(QWidget* parent, const QString& title, const QString& folder) {
    if (answer()) return answer()(folder);
    return QFileDialog::getOpenFileName(parent, title, folder,
                                        QStringLiteral("Oturum kayıtları (*.txt);;Tüm dosyalar (*)"));
}

void OpenFileDialog::setAnswer(Answer given) { answer() = std::move(given); }

}  // namespace vela
