#pragma once
// vela-sim as a separate process on its own pseudo-terminal, and the real
// console (offscreen) on its line, for the end-to-end tests.
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include "support/controls.h"
#include "support/feedback_recorder.h"
#include "ui/ana_menu.h"
#include "ui/open_file_dialog.h"
#include "ui/received_log.h"
#include "ui/resend_dialog.h"
#include "ui/save_file_dialog.h"
#include "ui/windows.h"

namespace vela::test {

constexpr int kSimWait = 10000;

// The simulator has written its line's path (or nothing, if it did not start).
struct Simulator {
    explicit Simulator(const QStringList& arguments = {}) {
        process.start(VELA_SIM_PATH, QStringList{"--no-time"} + arguments);
        if (process.waitForReadyRead(kSimWait))
            path = QString::fromUtf8(process.readLine()).trimmed().remove("Hat hazır: ");
    }
    ~Simulator() {
        if (process.state() == QProcess::NotRunning) return;
        process.write("cikis\n");
        if (!process.waitForFinished(kSimWait)) process.kill();
    }
    QProcess process;
    QString path;
};

// The console as the technician leaves it after choosing Com 1 at 9600 (with
// `open` false, the port left closed). The save dialog answers `record`, the
// open dialog `toSend`, and the confirmation of a resend keeps the recorded
// gaps; what each dialog was given is kept.
struct Console {
    explicit Console(const Simulator& sim, const QString& record = {}, const QString& toSend = {}, bool open = true) {
        SaveFileDialog::setAnswer([this, record](const QString& offered) { return proposed = offered, record; });
        OpenFileDialog::setAnswer([this, toSend](const QString& offered) { return folder = offered, toSend; });
        ResendDialog::setAnswer(
            [this](const QString& shown) { return summary = shown, std::optional(Gaps::AsRecorded); });
        qputenv("VELA_COM1", sim.path.toUtf8());
        menu.MSComm1.setCommPort(1);
        opened = !sim.path.isEmpty() && menu.MSComm1.setSettings("9600,N,8,1") == 0 &&
                 (!open || menu.MSComm1.open() == 0);
        menu.MSComm1.setRThreshold(1);
        menu.show();
        opened = QTest::qWaitForWindowActive(&menu) && opened;
    }
    ~Console() {
        SaveFileDialog::setAnswer({});
        OpenFileDialog::setAnswer({});
        ResendDialog::setAnswer({});
    }
    void set(const char* field, const QString& text) { child<QLineEdit>(menu, field).setText(text); }
    void saveRecord() { QTest::keyClick(&menu, Qt::Key_S, Qt::ControlModifier); }
    void sendFromRecord() { QTest::keyClick(&menu, Qt::Key_O, Qt::ControlModifier); }
    QAction* action(const QString& text) {
        for (QAction* action : menu.Text7()->actions())
            if (action->text() == text) return action;
        return nullptr;
    }

    FeedbackRecorder feedback;
    Windows windows;
    AnaMenu& menu = windows.anaMenu();
    bool opened = false;
    QString proposed, folder, summary;  // what the dialogs were given
};

// The path `text` was written to, or nothing.
inline QString written(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? path : QString();
}

}  // namespace vela::test
