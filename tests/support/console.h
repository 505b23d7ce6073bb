#pragma once
// The one test console: the real windows (offscreen) with MSComm1 opened as
// "Com 1" by the main window's own start-up opening, on a pseudo-terminal or
// on the simulator's line. Message boxes, beeps and program ends are
// recorded; the file dialogs answer what the test gave them.
#include <QAction>
#include <QLabel>
#include <QTest>

#include "support/controls.h"
#include "support/feedback_recorder.h"
#include "support/pty.h"
#include "ui/ana_menu.h"
#include "ui/bilet_ayarlama.h"
#include "ui/open_file_dialog.h"
#include "ui/received_log.h"
#include "ui/resend_dialog.h"
#include "ui/save_file_dialog.h"
#include "ui/windows.h"

namespace vela::test {

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
    bool ready() const { return pty.valid() && opened && exposed; }

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
    bool opened = false;
    bool exposed = false;
    QString proposed, folder, summary;  // what the dialogs were given

private:
    // An empty `device` leaves the port closed.
    void start(const QByteArray& device, int baud, const QString& record = {}, const QString& toSend = {}) {
        SaveFileDialog::setAnswer([this, record](const QString& offered) { return proposed = offered, record; });
        OpenFileDialog::setAnswer([this, toSend](const QString& offered) { return folder = offered, toSend; });
        ResendDialog::setAnswer(
            [this](const QString& shown) { return summary = shown, std::optional(Gaps::AsRecorded); });
        if (device.isEmpty())
            menu.show();
        else
            open(device, baud);
        exposed = QTest::qWaitForWindowExposed(&menu);
        QCoreApplication::processEvents();
        feedback.clear();  // the load beep and any opening message are not part of a test step
    }
};

}  // namespace vela::test
