#pragma once
// The whole console for the window tests: MSComm1 opened as "Com 1" on a real
// pseudo-terminal, the message boxes, beeps and program ends recorded.
#include <QApplication>
#include <QLabel>

#include "support/controls.h"
#include "support/device_link.h"
#include "support/feedback_recorder.h"
#include "support/pty.h"
#include "ui/ana_menu.h"
#include "ui/bilet_ayarlama.h"
#include "ui/console_style.h"
#include "ui/windows.h"

namespace vela::test {

inline void useConsoleStyle() { applyConsoleStyle(*static_cast<QApplication*>(QCoreApplication::instance())); }

// "AA 0F" as the byte values 170, 15.
inline QList<int> hex(const QString& bytes) {
    QList<int> values;
    for (const QString& b : bytes.split(u' ', Qt::SkipEmptyParts)) values << b.toInt(nullptr, 16);
    return values;
}
inline QList<int> asInts(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// " 170" for each byte, as the sent and received displays show it.
inline QStringList shownBytes(const QList<int>& bytes) {
    QStringList texts;
    for (int b : bytes) texts << QStringLiteral(" %1").arg(b);
    return texts;
}

struct Console {
    enum class Port { Open, Closed };

    explicit Console(Port port = Port::Open) : menu(windows.anaMenu()), bilet(windows.biletAyarlama()) {
        if (port == Port::Open) open(QByteArray::fromStdString(pty.slavePath()));
        menu.show();
        feedback.clear();  // the load beep is not part of any test step
    }
    // Opens MSComm1 as "Com 1" on the device the name leads to.
    bool open(const QByteArray& device) {
        qputenv("VELA_COM1", device);
        menu.MSComm1.setCommPort(1);
        menu.MSComm1.setSettings(QStringLiteral("9600,N,8,1"));
        const bool opened = menu.MSComm1.open() == 0;
        menu.MSComm1.setRThreshold(1);
        return opened;
    }

    // Each entry "Text1=5", set at once (typeText() is the technician's way).
    void set(const QStringList& fields) {
        for (const QString& f : fields) child<QLineEdit>(menu, f.section(u'=', 0, 0)).setText(f.section(u'=', 1));
    }
    void click(const QString& button) { QTest::mouseClick(&child<QPushButton>(menu, button), Qt::LeftButton); }
    QStringList shown(QLabel* (AnaMenu::*labels)(int) const) const {
        QStringList texts;
        for (int i = 0; i < 7; ++i) texts << (menu.*labels)(i)->text();
        return texts;
    }

    FeedbackRecorder feedback;  // first, so that it sees the window's load
    Pty pty;
    Windows windows;
    AnaMenu& menu;
    BiletAyarlama& bilet;
};

}  // namespace vela::test
