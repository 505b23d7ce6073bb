// The session record's lines, and the received lines read back for replay.
#include <QTest>

#include "protocol/session_record.h"

using namespace vela;

class SessionRecordTest : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void received_lines_data();
    void received_lines();
};

void SessionRecordTest::lines_data() {
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

void SessionRecordTest::lines() {
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

void SessionRecordTest::received_lines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<qint64>("at");  // -1: no time; -2: not a received line
    QTest::addColumn<QList<int>>("bytes");
    const auto row = [](const char* name, const char* line, qint64 at, QList<int> bytes) {
        QTest::newRow(name) << QString::fromUtf8(line) << at << bytes;
    };
    // 2026-03-07 is day 20519 after 1970-01-01.
    const qint64 day = 20519LL * 86400000;
    row("timed", "2026-03-07 09:05:04.007\tGELEN\t170 1 0\t\t", day + 32704007, {170, 1, 0});
    row("windows line end", "2026-03-07 00:00:00.000\tGELEN\t255\t\t\r", day, {255});
    row("no time", "\tGELEN\t1 2 3\t\t", -1, {1, 2, 3});
    row("header", "Zaman\tOlay\tBaytlar\tCihaz\tAnlam", -2, {});
    row("sent", "\tGÖNDERILEN\t170 2 44 1 0 5 222\tEl Terminali 5\tSayı Gönder", -2, {});
    row("byte over 255", "\tGELEN\t170 256\t\t", -2, {});
    row("double blank", "\tGELEN\t170  1\t\t", -2, {});
    row("no bytes", "\tGELEN\t\t\t", -2, {});
    row("fields missing", "\tGELEN\t170", -2, {});
    row("no such day", "2026-02-30 09:05:04.007\tGELEN\t170\t\t", -2, {});
}

void SessionRecordTest::received_lines() {
    QFETCH(QString, line);
    QFETCH(qint64, at);
    QFETCH(QList<int>, bytes);
    const std::optional<RecordedDelivery> read = parse_received_line(line.toStdString());
    QCOMPARE(read.has_value(), at != -2);
    if (!read) return;
    QCOMPARE(read->at_ms.value_or(-1), at);
    QCOMPARE(QList<int>(read->bytes.begin(), read->bytes.end()), bytes);
}

QTEST_APPLESS_MAIN(SessionRecordTest)
#include "tst_session_record.moc"
