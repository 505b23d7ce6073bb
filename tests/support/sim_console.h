#pragma once
// vela-sim as a separate process on its own pseudo-terminal, and the real
// console (offscreen) on its line, for the end-to-end tests.
#include <QFile>
#include <QProcess>

#include "support/console.h"

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

// With `open` false, the port left closed; without a line (the simulator did
// not start) nothing opens. The confirmation of a resend keeps the recorded gaps.
inline Console::Console(const Simulator& sim, const QString& record, const QString& toSend, bool open) {
    start(open ? sim.path.toUtf8() : QByteArray(), 9600, record, toSend);
    opened = (open ? opened : !sim.path.isEmpty()) && QTest::qWaitForWindowActive(&menu);
}

// The path `text` was written to, or nothing.
inline QString written(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? path : QString();
}

}  // namespace vela::test
