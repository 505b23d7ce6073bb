#include <QApplication>

#include "ui/com_select.h"
#include "ui/console_style.h"
#include "ui/windows.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    vela::applyConsoleStyle(application);
    // The windows decide when the program ends (closing the main window, the
    // ticket window or the port-selection window), not the last one hidden.
    application.setQuitOnLastWindowClosed(false);

    vela::Windows windows;
    windows.comSelect().show();
    return application.exec();
}
