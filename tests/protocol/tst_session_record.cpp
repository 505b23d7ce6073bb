// The session record's lines.
#include <QTest>

#include "protocol/session_record.h"

using namespace vela;

class SessionRecordTest : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
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

QTEST_APPLESS_MAIN(SessionRecordTest)
#include "tst_session_record.moc"
