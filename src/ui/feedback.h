#pragma once
// The only ways the console speaks to the technician besides its windows:
// modal message boxes, the system beep, and the end of the program. Tests put
// an observer in place to see them without a modal box or a real exit.
#include <QString>

class QWidget;

namespace vela {

inline const QString kApplicationTitle = QStringLiteral("VELA_Test_Ver_1_7");

class Feedback {
public:
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void message(const QString& text) = 0;
        virtual void beep() = 0;
        virtual void endProgram() = 0;
    };

    // Modal box titled kApplicationTitle with one "OK" button and no icon,
    // its text shown as plain text; returns when it is closed.
    static void message(QWidget* parent, const QString& text);
    static void beep();
    // Ends the program at once: the event loop returns and every window and
    // the port are released.
    static void endProgram();

    // nullptr restores the real box, beep and exit.
    static void setObserver(Observer* observer);
};

}  // namespace vela
