// "Kayıttan Gönder…" and saving the record, given hostile but ordinary-looking
// files: each gives one message naming the file and the reason, or a correct
// run; the window answers throughout and nothing goes out from a refused file.
// A watchdog ends the test when the window stops for seconds, as a FIFO's
// open or /dev/zero's endless read did.
#include <sys/stat.h>
#include <unistd.h>

#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <thread>

#include "support/shown_tooltip.h"
#include "tst_ana_menu_harness.h"
#include "ui/open_file_dialog.h"
#include "ui/resend_dialog.h"
#include "ui/save_file_dialog.h"

using namespace vela;
using namespace std::chrono_literals;
using test::Console;

namespace {

enum class Input { Fifo, Zero, Random, Folder, SymlinkLoop, Unreadable, Empty, Nul, BadUtf8, Control, Html, Huge, Gap };

const QByteArray kHeader = "Zaman\tOlay\tBaytlar\tCihaz\tAnlam\n";
const std::vector<std::uint8_t> kFrame{170, 2, 44, 1, 0, 5, 222};

QString written(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? path : QString();
}

// Adds what the far end has received by now, without waiting: the window sends.
const std::vector<std::uint8_t>& gather(std::vector<std::uint8_t>& sent, test::Pty& pty) {
    const std::vector<std::uint8_t> more = pty.read(1 << 20, 1ms);
    sent.insert(sent.end(), more.begin(), more.end());
    return sent;
}

QByteArray sentLine(const QByteArray& time, const QByteArray& meaning) {
    return "2026-03-07 " + time + "\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\t" + meaning + "\n";
}

// The input made in `dir`: its path.
QString make(Input input, const QTemporaryDir& dir, const QByteArray& meaning) {
    const QString path = dir.filePath(input == Input::Html ? "<i>kayit.txt" : "kayit.txt");
    const QByteArray name = QFile::encodeName(path);
    const auto written = [&](const QByteArray& text) { return ::written(path, text); };
    switch (input) {
    case Input::Fifo: return ::mkfifo(name, 0600) == 0 ? path : QString();
    case Input::Zero: return "/dev/zero";
    case Input::Random: return "/dev/urandom";
    case Input::Folder: return dir.path();
    case Input::SymlinkLoop:
        return ::symlink(QFile::encodeName(dir.filePath("b")), name) == 0 &&
                       ::symlink(name, QFile::encodeName(dir.filePath("b"))) == 0
                   ? path
                   : QString();
    case Input::Unreadable:
        return written(kHeader + sentLine("10:00:00.000", "x")).isEmpty() || ::chmod(name, 0) ? QString() : path;
    case Input::Empty: return written({});
    case Input::Nul: return written(kHeader + QByteArray(4, '\0') + "\n");
    case Input::Huge: return written({}).isEmpty() || ::truncate(name, 200 << 20) ? QString() : path;
    case Input::Gap:
        return written(kHeader + sentLine("10:00:00.000", meaning) +
                       "2026-04-26 03:02:48.296\tGÖNDERILEN\t170 2 44 1 0 "
                       "5 222\tEl Terminali 5\t" +
                       meaning + "\n");
    default: return written(kHeader + sentLine("10:00:00.000", meaning) + sentLine("10:00:00.200", meaning));
    }
}

// The meaning of each GÖNDERIM line of a saved record.
QStringList resendLines(const QString& path) {
    QFile file(path);
    QStringList found;
    if (!file.open(QIODevice::ReadOnly)) return found;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 5 && fields[1] == "GÖNDERIM") found << QString::fromUtf8(fields[4]);
    }
    return found;
}

// Ends the process when the window has not answered for ten seconds: a test
// stuck in the window's thread cannot fail by itself.
class Watchdog {
public:
    Watchdog() {
        tick_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            const auto now = Clock::now();
            worst_ = std::max(worst_, std::chrono::duration_cast<std::chrono::milliseconds>(
                                          now - Clock::time_point(Clock::duration(last_))));
            last_ = now.time_since_epoch().count();
        });
        last_ = Clock::now().time_since_epoch().count();
        tick_.start(10);
        watcher_ = std::thread([this] {
            while (!done_) {
                std::this_thread::sleep_for(100ms);
                if (Clock::now() - Clock::time_point(Clock::duration(last_)) > 10s) {
                    std::fputs("FAIL: the window did not answer for 10 s\n", stderr);
                    std::_Exit(1);
                }
            }
        });
    }
    ~Watchdog() {
        done_ = true;
        watcher_.join();
    }
    // The longest time between two ticks of a 10 ms timer.
    std::chrono::milliseconds worst() const { return worst_; }

private:
    using Clock = std::chrono::steady_clock;
    QTimer tick_;
    std::atomic<Clock::rep> last_;
    std::chrono::milliseconds worst_{0};
    std::atomic<bool> done_{false};
    std::thread watcher_;
};

// For the row that must not read: root reads any file, so the effective user
// is nobody's while the record is opened.
struct NotRoot {
    explicit NotRoot(bool needed) : was(geteuid()) {
        if (needed && was == 0 && seteuid(65534) != 0) std::perror("seteuid");
    }
    ~NotRoot() {
        if (geteuid() != was && seteuid(was) != 0) std::perror("seteuid");
    }
    uid_t was;
};

}  // namespace

class RecordOpeningTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        OpenFileDialog::setAnswer({});
        ResendDialog::setAnswer({});
        SaveFileDialog::setAnswer({});
    }

    void opening_data() {
        QTest::addColumn<Input>("input");
        QTest::addColumn<QByteArray>("meaning");  // of each frame of a record that is sent
        QTest::addColumn<QString>("message");     // {F}: the file; none for a run
        QTest::addColumn<QStringList>("ends");    // the run's GÖNDERIM lines after its start
        const QString unreadable = "Kayıt okunamadı: {F} (%1).";
        const QString notAFile = unreadable.arg("düz bir dosya değil");
        QTest::newRow("FIFO") << Input::Fifo << QByteArray() << notAFile << QStringList();
        QTest::newRow("/dev/zero") << Input::Zero << QByteArray() << notAFile << QStringList();
        QTest::newRow("/dev/urandom") << Input::Random << QByteArray() << notAFile << QStringList();
        QTest::newRow("folder") << Input::Folder << QByteArray() << unreadable.arg("bir klasör") << QStringList();
        QTest::newRow("symlink loop") << Input::SymlinkLoop << QByteArray()
                                      << unreadable.arg("bağlantılar döngü yapıyor") << QStringList();
        QTest::newRow("unreadable") << Input::Unreadable << QByteArray() << unreadable.arg("okuma izni yok")
                                    << QStringList();
        QTest::newRow("empty") << Input::Empty << QByteArray() << "Kayıt gönderilmiyor: {F}\nKayıt boş."
                               << QStringList();
        QTest::newRow("NUL bytes")
            << Input::Nul << QByteArray()
            << "Kayıt gönderilmiyor: {F}\nKayıtta hatalı 1 satır var:\nsatır 2: 5 alan olmalı, 1 var" << QStringList();
        QTest::newRow("huge, sparse") << Input::Huge << QByteArray()
                                      << unreadable.arg("çok büyük: 200 MB; en çok 128 MB okunur") << QStringList();
        QTest::newRow("invalid UTF-8") << Input::BadUtf8 << QByteArray("\xff\xfe Say\xc4") << QString()
                                       << QStringList{"bitti"};
        QTest::newRow("control characters")
            << Input::Control << QByteArray("\x1b]0;ba\xc5\x9fl\xc4\xb1k\x07\x1b[2J\x1b[31m") << QString()
            << QStringList{"bitti"};
        QTest::newRow("HTML field and name")
            << Input::Html << QByteArray("<img src=\"/dev/zero\"><h1>Sayı</h1>") << QString() << QStringList{"bitti"};
        QTest::newRow("gap of 2^32 ms + 1 s, Durdur")
            << Input::Gap << QByteArray("Sayı Gönder") << QString() << QStringList{"durduruldu: 1/2"};
    }

    void opening() {
        QFETCH(Input, input);
        QFETCH(QByteArray, meaning);
        QFETCH(QString, message);
        QFETCH(QStringList, ends);
        QTemporaryDir dir;
        const QString path = make(input, dir, meaning);
        QVERIFY(!path.isEmpty());
        Console console;
        QVERIFY(QTest::qWaitForWindowActive(&console.menu));
        const QString record = dir.filePath("oturum.txt");
        QVERIFY(console.menu.sessionRecorder().saveTo(record));
        OpenFileDialog::setAnswer([&](const QString&) { return path; });
        QString summary;
        ResendDialog::setAnswer([&](const QString& shown) { return summary = shown, std::optional(Gaps::AsRecorded); });
        Watchdog watchdog;
        {
            NotRoot user(input == Input::Unreadable);
            QTest::keyClick(&console.menu, Qt::Key_O, Qt::ControlModifier);
            QTRY_VERIFY(!console.feedback.messages.isEmpty() || !summary.isEmpty());
        }
        std::vector<std::uint8_t> sent;
        if (!message.isEmpty()) {
            QCOMPARE(console.feedback.messages, QStringList{message.replace("{F}", path)});
            QTest::qWait(200);
            QVERIFY(gather(sent, console.pty).empty());
            QCOMPARE(resendLines(record), QStringList());
        } else {
            QVERIFY2(summary.startsWith(QFileInfo(path).fileName() + "\n"), qPrintable(summary));
            QTRY_COMPARE(gather(sent, console.pty), kFrame);
            QPointer<QProgressDialog> progress = console.menu.findChild<QProgressDialog*>("KayittanGonderim");
            QVERIFY(progress);
            const QLabel* label = progress->findChild<QLabel*>();
            QCOMPARE(label->textFormat(), Qt::PlainText);
            QVERIFY2(label->text().endsWith(" — " + QString::fromUtf8(meaning)), qPrintable(label->text()));
            if (input == Input::Gap) {
                QTest::qWait(1500);
                QCOMPARE(progress->value(), 1);
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);  // "Durdur"
            } else {
                QTRY_COMPARE(gather(sent, console.pty).size(), std::size_t(14));
            }
            QTRY_COMPARE(resendLines(record).mid(1), ends);
            QTest::qWait(200);
            QCOMPARE(gather(sent, console.pty).size(), std::size_t(input == Input::Gap ? 7 : 14));
            QVERIFY(console.feedback.messages.isEmpty());
        }
        QVERIFY2(watchdog.worst() < 100ms, qPrintable(QString("%1 ms").arg(watchdog.worst().count())));
    }

    // Saving onto what is not a regular file: one message, the window never
    // waits, the console goes on without a file.
    void savingRefused_data() {
        QTest::addColumn<QString>("file");  // in a fresh folder, or absolute
        QTest::newRow("FIFO") << QString("kanal");
        QTest::newRow("device") << QString("/dev/null");
    }
    void savingRefused() {
        QFETCH(QString, file);
        QTemporaryDir dir;
        if (!file.startsWith('/')) {
            file = dir.filePath(file);
            QCOMPARE(::mkfifo(QFile::encodeName(file), 0600), 0);
        }
        Console console;
        Watchdog watchdog;
        QVERIFY(!console.menu.sessionRecorder().saveTo(file));
        QCOMPARE(console.feedback.messages,
                 QStringList{"Oturum kaydı yazılamadı: " + file + " (düz bir dosya değil). Kayıt durduruldu."});
        QVERIFY(!console.menu.sessionRecorder().appending());
        QVERIFY(watchdog.worst() < 100ms);
    }

    // "Vazgeç" while a big record is read: no message, nothing asked or sent,
    // and the next record can be chosen.
    void readingCancelled() {
        QTemporaryDir dir;
        const QString path = written(dir.filePath("kayit.txt"),
                                     kHeader + sentLine("10:00:00.000", "x").repeated(1000000));
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
        const QString path = written(dir.filePath("kayit.txt"), kHeader + sentLine("10:00:00.000", "Sayı Gönder") +
                                                                    sentLine("10:00:00.100", "Sayı Gönder"));
        OpenFileDialog::setAnswer([&](const QString&) { return path; });
        ResendDialog::setAnswer([](const QString&) { return std::optional(Gaps::AsRecorded); });
        QTest::keyClick(&console.menu, Qt::Key_O, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(resendLines(record).size(), 2, 5000);
        QCOMPARE(resendLines(record)[1], "cihaz veri almıyor: 0/2");
        QVERIFY(console.menu.MSComm1.isOpen());
        QCOMPARE(console.feedback.messages,
                 QStringList{"Com 1 veri almıyor (" + QString::fromStdString(console.pty.slavePath()) +
                             "); çerçeve gönderilemedi."});
    }

    // Names from outside shown as they are: in a message box, and as the
    // file appended to, in its label and tooltip.
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
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            format = box->findChild<QLabel*>("qt_msgbox_label")->textFormat();
            box->accept();
        });
        closer.start(10);
        Feedback::message(&console.menu, "Kayıt okunamadı: <b>okunmaz.txt</b> (okuma izni yok).");
        Feedback::setObserver(&console.feedback);
        QCOMPARE(format, Qt::PlainText);
    }
};

QTEST_MAIN(RecordOpeningTest)
#include "tst_record_opening.moc"
