// "Kayıttan Gönder…" and saving the record, given hostile files: one message
// naming the file and the reason, or a correct run; the window answers
// throughout and nothing goes out from a refused file. The reasons themselves
// are tst_sim_replay's rows, read by the same checked reader.
#include <sys/stat.h>
#include <unistd.h>

#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <thread>

#include "support/console.h"
#include "support/shown_tooltip.h"
#include "ui/open_file_dialog.h"
#include "ui/resend_dialog.h"
#include "ui/save_file_dialog.h"

using namespace vela;
using namespace std::chrono_literals;
using test::Console;

namespace {

const QByteArray kHeader = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n";
const std::vector<std::uint8_t> kFrame{170, 2, 44, 1, 0, 5, 222};

QString written(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? path : QString();
}

QByteArray sentLine(const QByteArray& at, const QByteArray& meaning) {
    return at + "\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\t" + meaning + "\n";
}

// A record of two frames, the second at `second`.
QByteArray twoFrames(const QByteArray& meaning, const QByteArray& second = "2026-03-07 10:00:00.200") {
    return kHeader + sentLine("2026-03-07 10:00:00.000", meaning) + sentLine(second, meaning);
}

// The file of a row in `dir`: written with `content`, or made as `name` says.
QString make(const QString& name, const QByteArray& content, const QTemporaryDir& dir) {
    if (name.startsWith('/')) return name;
    const QString path = dir.filePath(name);
    const QByteArray file = QFile::encodeName(path);
    if (name == "fifo") return ::mkfifo(file, 0600) == 0 ? path : QString();
    if (written(path, content).isEmpty()) return {};
    if (name == "unreadable") return ::chmod(file, 0) == 0 ? path : QString();
    return name == "huge" && ::truncate(file, 200 << 20) != 0 ? QString() : path;
}

// Adds what the far end has received by now, without waiting: the window sends.
const std::vector<std::uint8_t>& gather(std::vector<std::uint8_t>& sent, test::Pty& pty) {
    const std::vector<std::uint8_t> more = pty.read(1 << 20, 1ms);
    sent.insert(sent.end(), more.begin(), more.end());
    return sent;
}

// The meaning of each GÖNDERIM line of a saved record.
QStringList resendLines(const QString& path) {
    QFile file(path);
    QStringList found;
    for (const QByteArray& line : file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QByteArrayList()) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 5 && fields[1] == "GÖNDERIM") found << QString::fromUtf8(fields[4]);
    }
    return found;
}

// The longest time between ticks of a 10 ms timer of the window; ends the
// process when the window is stuck for 10 s, which cannot fail by itself.
class Watchdog {
public:
    Watchdog() {
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            worst_ = std::max(worst_, std::chrono::duration_cast<std::chrono::milliseconds>(sinceTick()));
            last_ = Clock::now().time_since_epoch().count();
        });
        tick_.start(10);
        watcher_ = std::thread([this] {
            for (; !done_ && sinceTick() < 10s; std::this_thread::sleep_for(100ms)) {
            }
            if (!done_) qFatal("the window did not answer for 10 s");
        });
    }
    ~Watchdog() { done_ = true, watcher_.join(); }
    std::chrono::milliseconds worst() const { return worst_; }

private:
    using Clock = std::chrono::steady_clock;
    Clock::duration sinceTick() const { return Clock::now().time_since_epoch() - Clock::duration(last_); }

    QTimer tick_;
    std::atomic<Clock::rep> last_{Clock::now().time_since_epoch().count()};
    std::chrono::milliseconds worst_{0};
    std::atomic<bool> done_{false};
    std::thread watcher_;
};

// Root reads any file: the row that must not read runs as nobody.
struct NotRoot {
    explicit NotRoot(bool needed) : was(geteuid()) { QVERIFY(!needed || was != 0 || seteuid(65534) == 0); }
    ~NotRoot() { QVERIFY(geteuid() == was || seteuid(was) == 0); }
    uid_t was;
};

}  // namespace

class RecordOpeningTest : public QObject {
    Q_OBJECT
private slots:
    void opening_data() {
        QTest::addColumn<Qt::Key>("key");         // Ctrl+O opens a record to send, Ctrl+S saves the session's
        QTest::addColumn<QString>("name");        // of the file; a few are made as they say
        QTest::addColumn<QByteArray>("content");  // the file's
        QTest::addColumn<QString>("message");     // {F}: the file; none for a run, ending as `end` says
        QTest::addColumn<QString>("end");
        const QString unreadable = "Kayıt okunamadı: {F} (%1).", refused = "Kayıt gönderilmiyor: {F}\n";
        const QString notAFile = unreadable.arg("düz bir dosya değil");
        const QString notSaved = "Oturum kaydı yazılamadı: {F} (düz bir dosya değil). Kayıt durduruldu.";
        const QByteArray html = "<img src=\"/dev/zero\"><h1>Sayı</h1>";
        // clang-format off
        QTest::newRow("FIFO") << Qt::Key_O << "fifo" << QByteArray() << notAFile << "";
        QTest::newRow("/dev/zero") << Qt::Key_O << "/dev/zero" << QByteArray() << notAFile << "";
        QTest::newRow("unreadable") << Qt::Key_O << "unreadable" << twoFrames("x") << unreadable.arg("okuma izni yok") << "";
        QTest::newRow("NUL bytes") << Qt::Key_O << "kayit.txt" << kHeader + QByteArray(4, '\0')
                                   << refused + "Kayıtta hatalı 1 satır var:\nsatır 2: 5 alan olmalı, 1 var" << "";
        QTest::newRow("huge, sparse") << Qt::Key_O << "huge" << QByteArray()
                                      << unreadable.arg("çok büyük: 200 MB; en çok 128 MB okunur") << "";
        QTest::newRow("invalid UTF-8") << Qt::Key_O << "kayit.txt" << twoFrames("\xff\xfe Say\xc4") << "" << "bitti";
        QTest::newRow("control characters") << Qt::Key_O << "kayit.txt" << twoFrames("\x1b]0;ba\xc5\x9fl\x07\x1b[2J\x1b[31m")
                                            << "" << "bitti";
        QTest::newRow("HTML field and name") << Qt::Key_O << "<i>kayit.txt" << twoFrames(html) << "" << "bitti";
        QTest::newRow("gap of 2^32 ms + 1 s, Durdur") << Qt::Key_O << "kayit.txt"
                                                      << twoFrames("Sayı", "2026-04-26 03:02:48.296") << ""
                                                      << "durduruldu: 1/2";
        QTest::newRow("saved onto a FIFO") << Qt::Key_S << "fifo" << QByteArray() << notSaved << "";
        QTest::newRow("saved onto a device") << Qt::Key_S << "/dev/null" << QByteArray() << notSaved << "";
        // clang-format on
    }

    void opening() {
        QFETCH(Qt::Key, key);
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(QString, end);
        QTemporaryDir dir;
        const QString path = make(name, content, dir), record = dir.filePath("oturum.txt");
        QVERIFY(!path.isEmpty());
        Console console;
        QVERIFY(console.menu.sessionRecorder().saveTo(record) && QTest::qWaitForWindowActive(&console.menu));
        OpenFileDialog::setAnswer([&](const QString&) { return path; });
        SaveFileDialog::setAnswer([&](const QString&) { return path; });
        Watchdog watchdog;
        {
            NotRoot user(name == "unreadable");
            QTest::keyClick(&console.menu, key, Qt::ControlModifier);
            QTRY_VERIFY(!console.feedback.messages.isEmpty() || !console.summary.isEmpty());
        }
        std::vector<std::uint8_t> sent;
        if (!message.isEmpty()) {
            QCOMPARE(console.feedback.messages, QStringList{message.replace("{F}", path)});
            QTest::qWait(200);
            QVERIFY(gather(sent, console.pty).empty());
            QCOMPARE(resendLines(record), QStringList());
        } else {
            const QString meaning = QString::fromUtf8(content.split('\t').last().chopped(1));
            QVERIFY2(console.summary.startsWith(QFileInfo(path).fileName() + "\n"), qPrintable(console.summary));
            QTRY_COMPARE(gather(sent, console.pty), kFrame);
            const QPointer<QProgressDialog> progress = console.menu.findChild<QProgressDialog*>("KayittanGonderim");
            const QLabel* label = progress ? progress->findChild<QLabel*>() : nullptr;
            QVERIFY(label && label->textFormat() == Qt::PlainText);
            QVERIFY2(label->text().endsWith(" — " + meaning), qPrintable(label->text()));
            if (end != "bitti") {
                QTest::qWait(1500);
                QCOMPARE(progress->value(), 1);
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);  // "Durdur"
            }
            QTRY_COMPARE(resendLines(record).mid(1), QStringList{end});
            QTest::qWait(200);
            QCOMPARE(gather(sent, console.pty).size(), std::size_t(end == "bitti" ? 14 : 7));
            QVERIFY(console.feedback.messages.isEmpty());
        }
        QVERIFY2(watchdog.worst() < 100ms, qPrintable(QString("%1 ms").arg(watchdog.worst().count())));
    }

    // "Vazgeç" while a big record is read: no message, nothing asked or sent,
    // and the next record can be chosen.
    void readingCancelled() {
        QTemporaryDir dir;
        const QString path = written(dir.filePath("kayit.txt"),
                                     kHeader + sentLine("2026-03-07 10:00:00.000", "x").repeated(1000000));
        Console console;
        QVERIFY(QTest::qWaitForWindowActive(&console.menu));
        OpenFileDialog::setAnswer([&](const QString&) { return path; });
        bool asked = false;
        ResendDialog::setAnswer([&](const QString&) { return asked = true, std::optional<Gaps>(); });
        Watchdog watchdog;
        QTest::keyClick(&console.menu, Qt::Key_O, Qt::ControlModifier);
        auto* reading = console.menu.findChild<QProgressDialog*>();
        QVERIFY(reading);
        reading->findChild<QPushButton*>()->click();  // "Vazgeç", also before the dialog shows
        QTest::qWait(1000);
        QVERIFY(!asked && console.feedback.messages.isEmpty());
        QVERIFY(console.pty.read(1, 1ms).empty());
        console.menu.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&console.menu));
        QTest::keyClick(&console.menu, Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(asked, 10000);
        QVERIFY2(watchdog.worst() < 100ms, qPrintable(QString("%1 ms").arg(watchdog.worst().count())));
    }

    // A device that stops taking bytes during a run: the port stays open and
    // the run's end says so, not that the port was lost.
    void deviceStopsTaking() {
        QTemporaryDir dir;
        Console console;
        const QString record = dir.filePath("oturum.txt");
        QVERIFY(console.menu.sessionRecorder().saveTo(record));
        QVERIFY(QTest::qWaitForWindowActive(&console.menu));
        while (console.menu.MSComm1.output(0x55) == SerialPort::WriteResult::Written) {
        }
        const QString path = written(dir.filePath("kayit.txt"), twoFrames("Sayı Gönder"));
        OpenFileDialog::setAnswer([&](const QString&) { return path; });
        QTest::keyClick(&console.menu, Qt::Key_O, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(resendLines(record).size(), 2, 5000);
        QCOMPARE(resendLines(record)[1], "cihaz veri almıyor: 0/2");
        QVERIFY(console.menu.MSComm1.isOpen());
        QCOMPARE(console.feedback.messages,
                 QStringList{"Com 1 veri almıyor (" + QString::fromStdString(console.pty.slavePath()) +
                             "); çerçeve gönderilemedi."});
    }

    // Names from outside shown as they are: as the file appended to, in its
    // label and tooltip, and in a message box.
    void outsideTextIsPlain() {
        QTemporaryDir dir;
        const QString file = dir.filePath("<i>kayit & <b>.txt");
        Console console;
        QVERIFY(console.menu.sessionRecorder().saveTo(file));
        const auto& shown = test::child<QLabel>(console.menu, "KayitDosyasiLabel");
        QCOMPARE(shown.textFormat(), Qt::PlainText);
        QCOMPARE(test::shownToolTip(shown.toolTip()), file);
        Feedback::setObserver(nullptr);
        Qt::TextFormat format = Qt::RichText;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                format = box->findChild<QLabel*>("qt_msgbox_label")->textFormat(), box->accept();
        });
        closer.start(10);
        Feedback::message(&console.menu, "Kayıt okunamadı: <b>okunmaz.txt</b> (okuma izni yok).");
        Feedback::setObserver(&console.feedback);
        QCOMPARE(format, Qt::PlainText);
    }
};

QTEST_MAIN(RecordOpeningTest)
#include "tst_record_opening.moc"
