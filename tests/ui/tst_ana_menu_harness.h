#pragma once
// The console on a real pseudo-terminal for the window tests: the main window
// built through Windows, MSComm1 opened on the pty's slave as "Com 1", and
// the message boxes and beeps recorded.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/controls.h"
#include "support/device_link.h"
#include "support/feedback_recorder.h"
#include "support/pty.h"
#include "ui/ana_menu.h"
#include "ui/console_style.h"
#include "ui/windows.h"

namespace vela::test {

// "AA 0F 2C" as the byte values 170, 15, 44.
inline QList<int> hex(const QString& bytes) {
    QList<int> values;
    for (const QString& b : bytes.split(u' ', Qt::SkipEmptyParts)) values << b.toInt(nullptr, 16);
    return values;
}

inline QList<int> asInts(const std::vector<std::uint8_t>& bytes) { return QList<int>(bytes.begin(), bytes.end()); }

inline std::vector<std::uint8_t> asBytes(const QList<int>& values) { return {values.begin(), values.end()}; }

inline void useConsoleStyle() { applyConsoleStyle(*static_cast<QApplication*>(QCoreApplication::instance())); }

struct Console {
    enum class Port { Open, Closed };

    explicit Console(Port port = Port::Open) : menu(windows.anaMenu()) {
        qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));
        if (port == Port::Open) {
            SerialPort& comm = menu.MSComm1;
            comm.setCommPort(1);
            comm.setSettings(QStringLiteral("9600,N,8,1"));
            opened = comm.open() == 0;
            comm.setRThreshold(1);
        }
        menu.show();
        exposed = QTest::qWaitForWindowExposed(&menu);
        feedback.clear();  // the load beep is not part of any test step
    }

    // Opens MSComm1 through a name that a pulled device leaves pointing nowhere.
    bool openThrough(DeviceLink& link) {
        if (!link.pointAt(pty.slavePath())) return false;
        qputenv("VELA_COM1", link.path());
        menu.MSComm1.setCommPort(1);
        menu.MSComm1.setSettings(QStringLiteral("9600,N,8,1"));
        opened = menu.MSComm1.open() == 0;
        menu.MSComm1.setRThreshold(1);
        return opened;
    }

    template <class T>
    T* find(const QString& name) const {
        return menu.findChild<T*>(name);
    }

    // Replaces a field's text by typing, as the technician does.
    bool type(const QString& field, const QString& text) { return typeText(find<QLineEdit>(field), text); }

    // Each entry "Text1=5".
    bool typeAll(const QStringList& fields) {
        for (const QString& entry : fields) {
            const qsizetype equals = entry.indexOf(u'=');
            if (!type(entry.left(equals), entry.mid(equals + 1))) return false;
        }
        return true;
    }

    bool click(const QString& button) {
        auto* target = find<QPushButton>(button);
        if (!target) return false;
        QTest::mouseClick(target, Qt::LeftButton);
        return true;
    }

    // A frame that reads no field, to have something in the sent-bytes display.
    bool sendGlobalReset() { return click(QStringLiteral("Command3")) && pty.read(7).size() == 7; }

    QStringList sentDisplay() const {
        QStringList texts;
        for (int i = 0; i < 7; ++i) texts << menu.GonderilenLabel(i)->text();
        return texts;
    }

    QStringList receivedDisplay() const {
        QStringList texts;
        for (int i = 0; i < 7; ++i) texts << menu.GelenLabel(i)->text();
        return texts;
    }

    FeedbackRecorder feedback;  // first, so that it sees the window's load
    Pty pty;
    Windows windows;
    AnaMenu& menu;
    bool opened = false;
    bool exposed = false;
};

// " 170" for each byte: what the displays show.
inline QStringList shownBytes(const QList<int>& bytes) {
    QStringList texts;
    for (int b : bytes) texts << QStringLiteral(" %1").arg(b);
    return texts;
}

}  // namespace vela::test
