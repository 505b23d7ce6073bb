#include <QApplication>

#include "app/command_line.h"
#include "ui/com_select.h"
#include "ui/console_style.h"
#include "ui/windows.h"

int main(int argc, char* argv[]) {
    // Any argument is --help, --version or a mistake, all answered in the
    // terminal; the windows start only from a bare command.
    if (argc > 1) return vela::answerCommandLine(argc, argv);

    QApplication application(argc, argv);
    vela::applyConsoleStyle(application);
    // The windows decide when the program ends (closing the main window, the
    // ticket window or the port-selection window), not the last one hidden.
    application.setQuitOnLastWindowClosed(false);

    vela::Windows windows;
    windows.comSelect().show();
    return application.exec();
}
