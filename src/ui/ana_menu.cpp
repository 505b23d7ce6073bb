#include "ui/ana_menu.h"

#include <QCloseEvent>

#include "ui/feedback.h"

namespace vela {

AnaMenu::AnaMenu(Windows& windows) : windows_(windows), transmitter_(MSComm1) {
    setWindowTitle(QStringLiteral("VELA TEST  Ver 1.7   Karvo Elektronik Ltd"));
    Feedback::beep();  // Form_Load
}

AnaMenu::~AnaMenu() = default;

void AnaMenu::closeEvent(QCloseEvent* event) {
    event->accept();
    Feedback::endProgram();
}

}  // namespace vela
