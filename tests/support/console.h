#pragma once
// The one test console: the real windows (offscreen), MSComm1 opened as "Com 1"
// by the main window's start-up opening on a pseudo-terminal or the simulator's
// line, message boxes, beeps and program ends recorded, file dialogs answered;
// beside it, the console's style and the bytes as the displays show them.
#include <QAction>
#include <QApplication>
#include <QLabel>

#include "support/controls.h"
#include "support/feedback_recorder.h"
#include "support/pty.h"
#include "ui/ana_menu.h"
#include "ui/bilet_ayarlama.h"
#include "ui/console_style.h"
#include "ui/open_file_dialog.h"
#include "ui/received_log.h"
#include "ui/resend_dialog.h"
#include "ui/save_file_dialog.h"
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

struct Simulator;

struct Console {
    enum class Port { Open, Closed };

    // On the pseudo-terminal's far end at `baud`, or with the port left closed.
    explicit Console(Port port = Port::Open, int baud = 9600) {
        start(port == Port::Open ? QByteArray::fromStdString(pty.slavePath()) : QByteArray(), baud);
    }
    // On the simulator's line at 9600 (defined in sim_console.h); the save
    // dialog answers `record` and the open dialog `toSend`.
    explicit Console(const Simulator& sim, const QString& record = {}, const QString& toSend = {}, bool open = true);
    ~Console() {
        SaveFileDialog::setAnswer({});
        OpenFileDialog::setAnswer({});
        ResendDialog::setAnswer({});
    }

    // Opens MSComm1 as "Com 1" on `device` as the port-selection window would.
    bool open(const QByteArray& device, int baud = 9600) {
        qputenv("VELA_COM1", device);
        return opened = menu.openPort(1, baud, &menu);
    }

    // Each entry "Text1=5", set at once (typeText() is the technician's way).
    void set(const QStringList& fields) {
        for (const QString& f : fields) set(f.section(u'=', 0, 0), f.section(u'=', 1));
    }
    void set(const QString& field, const QString& text) { child<QLineEdit>(menu, field).setText(text); }
    void click(const QString& button) { QTest::mouseClick(&child<QPushButton>(menu, button), Qt::LeftButton); }
    QStringList shown(QLabel* (AnaMenu::*labels)(int) const) const {
        QStringList texts;
        for (int i = 0; i < 7; ++i) texts << (menu.*labels)(i)->text();
        return texts;
    }
    void saveRecord() { QTest::keyClick(&menu, Qt::Key_S, Qt::ControlModifier); }
    void sendFromRecord() { QTest::keyClick(&menu, Qt::Key_O, Qt::ControlModifier); }
    QAction* action(const QString& text) {
        for (QAction* action : menu.Text7()->actions())
            if (action->text() == text) return action;
        return nullptr;
    }

    FeedbackRecorder feedback;  // first, so that it sees the window's load
    Pty pty;
    Windows windows;
    AnaMenu& menu = windows.anaMenu();
    BiletAyarlama& bilet = windows.biletAyarlama();
    bool opened = false, exposed = false;
    bool compare = false;               // the resend confirmation's "Gelenleri kayıtla karşılaştır"
    QString proposed, folder, summary;  // what the dialogs were given

private:
    // An empty `device` leaves the port closed.
    void start(const QByteArray& device, int baud, const QString& record = {}, const QString& toSend = {}) {
        SaveFileDialog::setAnswer([this, record](const QString& offered) { return proposed = offered, record; });
        OpenFileDialog::setAnswer([this, toSend](const QString& offered) { return folder = offered, toSend; });
        ResendDialog::setAnswer([this](const QString& shown) {
            return summary = shown, std::optional(ResendChoice{Gaps::AsRecorded, compare});
        });
        if (!device.isEmpty()) open(device, baud);
        menu.show();
        exposed = QTest::qWaitForWindowExposed(&menu);
        QCoreApplication::processEvents();
        feedback.clear();  // the load beep and any opening message are not part of a test step
    }
};

}  // namespace vela::test
