#include "ui/feedback.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/plain_text.h"

namespace vela {

namespace {
Feedback::Observer* observer = nullptr;
}

void Feedback::message(QWidget* parent, const QString& text) {
    if (observer) {
        observer->message(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok, parent);
    box.setTextFormat(kOutsideTextFormat);  // messages quote file names, record fields and system errors
    box.exec();
}

void Feedback::beep() {
    if (observer) {
        observer->beep();
        return;
    }
    QApplication::beep();
}

void Feedback::endProgram() {
    if (observer) {
        observer->endProgram();
        return;
    }
    QCoreApplication::exit(0);
}

void Feedback::setObserver(Observer* newObserver) { observer = newObserver; }

}  // namespace vela
