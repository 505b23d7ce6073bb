// The session record of the main window on a real pseudo-terminal.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include "serial/tty.h"
#include "support/console.h"
#include "ui/open_file_dialog.h"
#include "ui/save_file_dialog.h"

using namespace vela::test;
using namespace std::chrono_literals;

namespace {

const std::vector<std::uint8_t> kAdvanceKey = {0xAA, 0x01, 0x00, 0x00, 0x00, 0x05, 0xB0};
enum class Stop { FullBefore, FillsDuring, Pulled, PulledAfterFrame };

// A saved record's line: its time in ms on its own scale, and its fields.
struct RecordLine {
    qint64 ms;
    QString event, bytes, meaning;
};
QList<RecordLine> readRecord(const QString& path) {
    QFile file(path);
    QList<RecordLine> lines;
    if (!file.open(QIODevice::ReadOnly) || file.readLine().isEmpty()) return lines;  // past the header
    while (!file.atEnd()) {
        const QStringList f = QString::fromUtf8(file.readLine()).chopped(1).split(u'\t');
        const qint64 day = QDate::fromString(f[0].left(10), Qt::ISODate).toJulianDay() * 86400000;
        lines.append({day + QTime::fromString(f[0].mid(11), "HH:mm:ss.zzz").msecsSinceStartOfDay(), f[1], f[2], f[4]});
    }
    return lines;
}

// The time the record shows for `at`, on readRecord()'s scale.
qint64 recordMs(Pty::Clock::time_point at) {
    const auto wall = std::chrono::system_clock::now() + (at - Pty::Clock::now());
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::milliseconds>(wall.time_since_epoch()).count());
    return local.date().toJulianDay() * 86400000 + local.time().msecsSinceStartOfDay();
}

// The message boxes, and the record's last line on disk as each was shown.
struct MessageWatch : FeedbackRecorder {
    explicit MessageWatch(QString path) : path(std::move(path)) {}
    void message(const QString& text) override {
        FeedbackRecorder::message(text);
        const QList<RecordLine> record = readRecord(path);
        lastOnDisk = record.isEmpty() ? QString() : record.last().event + u'\t' + record.last().meaning;
    }
    QString path, lastOnDisk;
};

// Frame k of "Karakterleri Gönder" to display 1 with a text of x's (120).
QString transferFrame(int k) {
    return k == 0 ? "170 21 5 0 0 1 197" : QString("170 20 0 %1 120 1 %2").arg(k - 1).arg((311 + k - 1) % 256);
}

}  // namespace

Q_DECLARE_METATYPE(Stop)

class SessionRecorderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useConsoleStyle(); }
    void cleanup() { vela::tty::setOutputQueueProbe({}); }

    // A delivery is recorded at the time its first byte was written (within
    // 10 ms), in time order with the frames sent around it: a key written
    // 10 ms into the pause after a frame of a transfer (the display off, or
    // the tenth character 0.4 s in), where only the pause reads the line; a
    // key written 300 ms after a click, the window idle, read a gathering
    // time later; a line that keeps talking (a byte every 2 ms for 0.3 s),
    // whose every delivery begins just after the one before was read.
    void arrivalTimes_data() {
        QTest::addColumn<int>("before");   // frames of the transfer sent first; 0: one frame, then 300 ms idle
        QTest::addColumn<int>("everyMs");  // between bytes; 0: the key in one write
        QTest::newRow("key in the 200 ms pause") << 1 << 0;
        QTest::newRow("key 0.4 s in") << 11 << 0;
        QTest::newRow("key 300 ms after a click") << 0 << 0;
        QTest::newRow("streaming while idle") << 0 << 2;
    }
    void arrivalTimes() {
        QFETCH(int, before);
        QFETCH(int, everyMs);
        QByteArray talk(reinterpret_cast<const char*>(kAdvanceKey.data()), 7);
        if (everyMs > 0) talk = QByteArray::fromStdString(std::string(150, '\0'));
        for (int i = 0; everyMs > 0 && i < talk.size(); ++i) talk[i] = char(i);
        const int frames = before > 0 ? 43 : 1, first = std::max(before, 1);
        QTemporaryDir dir;
        Console console;
        QVERIFY(console.menu.sessionRecorder().saveTo(dir.filePath("kayit.txt")));
        console.set({"Text8=1", "Text9=" + QString(40, u'x')});
        std::vector<Pty::Clock::time_point> written;  // of each byte
        std::size_t taken = 0;
        QEventLoop idle;  // not QTest::qWait, which sleeps 10 ms between its rounds
        std::thread farEnd([&] {
            const std::vector<Pty::TimedByte> sent = console.pty.readTimed(std::size_t(first) * 7, 5s);
            const auto start = (sent.empty() ? Pty::Clock::now() : sent.back().at) + (before > 0 ? 10ms : 300ms);
            for (qsizetype i = 0; i<talk.size(); i += everyMs> 0 ? 1 : talk.size()) {
                std::this_thread::sleep_until(start + i * std::chrono::milliseconds(everyMs));
                const QByteArray part = talk.mid(i, everyMs > 0 ? 1 : -1);
                written.insert(written.end(), std::size_t(part.size()), Pty::Clock::now());
                console.pty.write(std::vector<std::uint8_t>(part.begin(), part.end()));
            }
            taken = sent.size() + console.pty.readTimed(std::size_t(frames - first) * 7, 5s).size();
            QMetaObject::invokeMethod(&idle, [&] { QTimer::singleShot(100, &idle, &QEventLoop::quit); });
        });
        console.click(before > 0 ? "Command14" : "Command34");
        idle.exec();
        farEnd.join();
        QCOMPARE(taken, std::size_t(frames) * 7);
        console.menu.sessionRecorder().flush();
        QStringList events;
        std::size_t firstByte = 0;
        for (const RecordLine& l : readRecord(dir.filePath("kayit.txt"))) {
            events << l.event;
            if (l.event != "GELEN") continue;
            const qint64 late = l.ms - recordMs(written.at(firstByte));
            QVERIFY2(std::abs(late) <= 10, qPrintable(QString("byte %1: %2 ms late").arg(firstByte).arg(late)));
            firstByte += std::size_t(l.bytes.count(u' ') + 1);
        }
        QCOMPARE(firstByte, written.size());
        if (everyMs > 0) return;
        const QStringList expected = QStringList{"PORT"} + QStringList(first, "GÖNDERILEN") +
                                     QStringList{"GELEN", "ÇERÇEVE"} + QStringList(frames - first, "GÖNDERILEN");
        QCOMPARE(events, expected);
        QTRY_COMPARE(console.shown(&vela::AnaMenu::GelenLabel), shownBytes(asInts(kAdvanceKey)));
    }

    void lineStops_data() {
        QTest::addColumn<Stop>("stop");
        QTest::addColumn<QString>("message");  // %1: the device
        const QString stuck = "Com 1 veri almıyor (%1); çerçeve gönderilemedi.";
        QTest::newRow("buffers full before the click") << Stop::FullBefore << stuck;
        QTest::newRow("buffers fill during the transfer") << Stop::FillsDuring << stuck;
        QTest::newRow("pulled during the transfer")
            << Stop::Pulled << "Com Port bağlantısı koptu! Komut gönderilemedi.";
        QTest::newRow("pulled after the first frame was taken")
            << Stop::PulledAfterFrame << "Com Port bağlantısı koptu! Komut gönderilemedi.";
    }

    // One message within 2 s of the last frame that left, the RED on disk
    // before it, no later frame tried. The far end, reading again, gets
    // exactly the frames recorded as sent and as many bytes of the refused
    // one as the record allows; then sending works again. A port lost once
    // the far end has a frame's seven bytes (its queue never read empty) may
    // have sent them all. A send that never gives up is ended after 10 s by
    // pulling the line, and fails.
    void lineStops() {
        QFETCH(Stop, stop);
        QFETCH(QString, message);
        QTemporaryDir dir;
        Console console;
        MessageWatch watch(dir.filePath("kayit.txt"));
        QVERIFY(console.menu.sessionRecorder().saveTo(watch.path));
        if (stop == Stop::PulledAfterFrame) vela::tty::setOutputQueueProbe({[](int) { return std::optional(7); }, {}});
        std::atomic<bool> clicked = false;
        std::thread puller([&] {
            if (stop >= Stop::Pulled) {
                console.pty.read(stop == Stop::Pulled ? 20 * 7 : 7, 5s);
            } else {
                const auto end = Pty::Clock::now() + 10s;
                while (!clicked && Pty::Clock::now() < end) std::this_thread::sleep_for(10ms);
                if (clicked) return;
            }
            console.pty.closeMaster();
        });
        QElapsedTimer run, click;
        run.start();
        std::size_t filler = 0;
        if (stop < Stop::Pulled) {
            while (console.menu.MSComm1.output(0x55) == vela::SerialPort::WriteResult::Written) ++filler;
            if (stop == Stop::FillsDuring) filler -= console.pty.read(1000).size();
        }
        console.set({"Text8=1", "Text9=" + QString(255, u'x')});
        click.start();
        console.click("Command14");
        const qint64 clickMs = click.elapsed();
        clicked = true;
        puller.join();
        QVERIFY2(run.elapsed() < 10000, "the send did not give up");
        QCOMPARE(watch.messages, QStringList{message.replace("%1", QString::fromStdString(console.pty.slavePath()))});
        const QList<RecordLine> record = readRecord(watch.path);
        const RecordLine& red = record.last();
        QCOMPARE(watch.lastOnDisk, "RED\t" + red.meaning);
        QVERIFY(red.meaning.startsWith("Karakterleri Gönder: " + watch.messages[0]));
        QStringList sent;
        for (const RecordLine& l : record.mid(1, record.size() - 2)) sent << l.bytes;
        if (stop >= Stop::Pulled) sent.removeLast();  // the PORT line of the loss
        for (int k = 0; k < sent.size(); ++k) QCOMPARE(sent[k], transferFrame(k));
        QCOMPARE(red.bytes, transferFrame(int(sent.size())));
        QVERIFY2(stop != Stop::FillsDuring || (sent.size() > 0 && sent.size() < 258), "the line stopped mid-way");
        const qint64 waited = sent.isEmpty() ? clickMs : red.ms - record[int(sent.size())].ms;
        QVERIFY2(waited < 2000, qPrintable(QString::number(waited)));
        if (stop == Stop::PulledAfterFrame)
            QVERIFY2(red.meaning.endsWith(". En çok 7/7 bayt gitti."), qPrintable(red.meaning));
        if (stop >= Stop::Pulled) {
            QCOMPARE(record[record.size() - 2].meaning, "bağlantı koptu");
            return;
        }

        const int gone = red.meaning.section("En çok ", 1).section(u'/', 0, 0).toInt();
        const QStringList left = (sent + red.bytes.split(u' ').mid(0, gone)).join(u' ').split(u' ', Qt::SkipEmptyParts);
        const std::vector<std::uint8_t> after = console.pty.readAll(300ms);
        QCOMPARE(after.size(), filler + std::size_t(left.size()));
        QStringList tail;
        for (std::size_t i = filler; i < after.size(); ++i) tail << QString::number(after[i]);
        QCOMPARE(tail, left);
        console.click("Command34");
        QCOMPARE(asInts(console.pty.read(7)), hex("AA 1D 01 00 00 00 C8"));
        QCOMPARE(readRecord(watch.path).last().event, "GÖNDERILEN");
        QCOMPARE(watch.messages.size(), 1);
    }

    // Of 100,001 events (deliveries a millisecond apart, a refusal, a late
    // delivery) the newest 100,000 are kept; the note of the one dropped comes
    // first, as old as the oldest kept. A delivery seen before a refusal but
    // read after it does not go back before it.
    void keptInTimeOrder() {
        QWidget parent;
        vela::SessionRecorder recorder(&parent);
        const auto start = vela::SessionRecorder::Moment::clock::now() - 200s;
        for (int i = 0; i < 99999; ++i) recorder.received(QByteArray(1, char(i % 100)), start + i * 1ms);
        recorder.refused("Sayı Gönder", "El Terminal No 0 ile 255 arasında olmalı!");
        recorder.received(QByteArray(1, char(7)), start + 150s);
        QTemporaryDir dir;
        QVERIFY(recorder.saveTo(dir.filePath("kayit.txt")));
        const QList<RecordLine> record = readRecord(dir.filePath("kayit.txt"));
        QCOMPARE(int(record.size()), 100001);
        QCOMPARE(record[0].event + ": " + record[0].meaning,
                 "ATILAN: bellek dolduğu için en eski 1 olay kayıttan düştü");
        QCOMPARE(record[0].ms, record[1].ms);
        QCOMPARE(record[1].bytes + " " + record[99998].bytes, "1 98");
        QCOMPARE(record[99998].ms - record[1].ms, qint64(99997));
        QCOMPARE(record[99999].event + " " + record[100000].event, "RED GELEN");
        QCOMPARE(record[100000].ms, record[99999].ms);
    }

    // "Kaydı Dışa Aktar…" offers the record being written, with all that came
    // until then, and exports it as a table while the window goes on.
    void exportedFromTheMenu() {
        QTemporaryDir dir;
        Console console;
        QVERIFY(console.menu.sessionRecorder().saveTo(dir.filePath("kayit.txt")));
        console.set({"Text1=5", "Text2=300"});
        console.click("Command2");
        QString offered, proposed;
        vela::OpenFileDialog::setAnswer([&](const QString& given) { return offered = given; });
        vela::SaveFileDialog::setAnswer(
            [&](const QString& given) { return proposed = given, dir.filePath("tablo.csv"); });
        console.action("Kaydı Dışa Aktar…")->trigger();
        QCOMPARE(offered, dir.filePath("kayit.txt"));
        QCOMPARE(proposed, dir.filePath("kayit.pcapng"));
        QTRY_COMPARE(console.feedback.messages,
                     QStringList{"Dışa aktarıldı: " + dir.filePath("tablo.csv") + " (2 satır)."});
        QFile table(dir.filePath("tablo.csv"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = table.readAll().split('\n');
        QVERIFY(rows[1].contains(",PORT,,,"));
        QVERIFY(
            rows[2].endsWith(",giden,GÖNDERILEN,170 2 44 1 0 5 222,AA 02 2C 01 00 05 DE,El Terminali 5,Sayı Gönder\r"));
    }
};

QTEST_MAIN(SessionRecorderTest)
#include "tst_session_recorder.moc"
