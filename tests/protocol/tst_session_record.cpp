// The session record's lines and clock.
#include <QTest>

#include "protocol/session_record.h"

using namespace vela;

class SessionRecordTest : public QObject {
    Q_OBJECT
private slots:
    void lines_data() {
        QTest::addColumn<bool>("timed");
        QTest::addColumn<int>("event");
        QTest::addColumn<QList<int>>("bytes");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("meaning");
        QTest::addColumn<QString>("line");
        const auto row = [](const char* name, bool timed, RecordEvent event, QList<int> bytes, const char* device,
                            const char* meaning, const char* line) {
            QTest::newRow(name) << timed << static_cast<int>(event) << bytes << QString::fromUtf8(device)
                                << QString::fromUtf8(meaning) << QString::fromUtf8(line);
        };
        row("sent", true, RecordEvent::Sent, {170, 2, 44, 1, 0, 5, 222}, "El Terminali 5", "Sayı Gönder",
            "2026-03-07 09:05:04.007\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\tSayı Gönder");
        row("received, no time", false, RecordEvent::Received, {0, 255}, "", "", "\tGELEN\t0 255\t\t");
        row("recognised", true, RecordEvent::Recognised, {170, 16, 0, 0, 0, 129, 59}, "", "ALINDI (ACK) BİLGİSİ geldi",
            "2026-03-07 09:05:04.007\tÇERÇEVE\t170 16 0 0 0 129 59\t\tALINDI (ACK) BİLGİSİ geldi");
        row("port", true, RecordEvent::Port, {}, "", "kapandı", "2026-03-07 09:05:04.007\tPORT\t\t\tkapandı");
        row("refusal with tab and line breaks", false, RecordEvent::Refused, {}, "", "Sayı\tGönder: El\r\nNo",
            "\tRED\t\t\tSayı Gönder: El  No");
    }
    void lines() {
        QFETCH(bool, timed);
        QFETCH(int, event);
        QFETCH(QList<int>, bytes);
        QFETCH(QString, device);
        QFETCH(QString, meaning);
        QFETCH(QString, line);
        const std::vector<Byte> values(bytes.begin(), bytes.end());
        const auto time = timed ? std::optional(LocalTime{2026, 3, 7, 9, 5, 4, 7}) : std::nullopt;
        QCOMPARE(QString::fromStdString(record_line(time, static_cast<RecordEvent>(event), values, device.toStdString(),
                                                    meaning.toStdString())),
                 line);
    }

    // The clock starts at 2026-12-06 11:32:05.000 UTC; an event `after` that
    // (nanoseconds on the monotonic clock) at `offset` minutes east of UTC, and
    // the offset as the opening line names it.
    void clock_data() {
        QTest::addColumn<qint64>("after");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("utc");
        const auto row = [](const char* name, qint64 after, int offset, const char* time, const char* utc) {
            QTest::newRow(name) << after << offset << QString(time) << QString(utc);
        };
        row("Istanbul", 127'000'000, 180, "2026-12-06 14:32:05.127", "UTC+03:00");
        row("past local midnight", 36'000'000'000'000, 180, "2026-12-07 00:32:05.000", "UTC+03:00");
        row("west of UTC", 0, -210, "2026-12-06 08:02:05.000", "UTC-03:30");
        row("ten days on, no drift", 864'000'000'000'001, 345, "2026-12-16 17:17:05.000", "UTC+05:45");
        row("a part of a millisecond is cut", 1'999'999, 0, "2026-12-06 11:32:05.001", "UTC+00:00");
        row("just before the start", -1, 0, "2026-12-06 11:32:04.999", "UTC+00:00");
        row("into a leap day", 38'838'475'000'000'000, 0, "2028-02-29 00:00:00.000", "UTC+00:00");
    }
    void clock() {
        QFETCH(qint64, after);
        QFETCH(int, offset);
        QFETCH(QString, utc);
        using namespace std::chrono;
        const RecordClock::Monotonic::time_point start{hours(5)};
        const RecordClock clock(start, sys_days{2026y / 12 / 6} + 11h + 32min + 5s, minutes(offset));
        QTEST(QString::fromStdString(record_line(clock.at(start + nanoseconds(after)), RecordEvent::Port, {}, "", ""))
                  .section(u'\t', 0, 0),
              "time");
        QCOMPARE(QString::fromStdString(port_opened_meaning("/dev/ttyUSB0", 9600, clock.utc_offset())),
                 "açıldı: /dev/ttyUSB0, 9600 baud, " + utc);
    }
};

QTEST_APPLESS_MAIN(SessionRecordTest)
#include "tst_session_record.moc"
