// A run compared with a saved record, over scripts: "S HT5 0" is a frame sent
// to hand terminal 5 at 0 ms (DM: a dot-matrix display), "A5 30" an ALINDI
// from number 5 at 30 ms, "K5 60" a key on hand terminal 5. The record's side
// is written as record lines and read back.
#include <QStringList>
#include <QTest>

#include "record/record_check.h"

using namespace vela;
using std::chrono::milliseconds;

namespace {

Frame frame(Byte code, Byte number) { return {170, code, 0, 0, 0, number, static_cast<Byte>(170 + code + number)}; }

// Each item of a script: whether it is a frame sent, the frame, its device and time.
template <class Take>
void play(const QString& script, Take take) {
    for (const QString& item : script.split(u';', Qt::SkipEmptyParts)) {
        QStringList words = item.split(u' ', Qt::SkipEmptyParts);
        const int at = words.takeLast().toInt();
        if (words[0] != "S")
            take(false, frame(words[0][0] == u'A' ? 16 : 1, Byte(words[0].mid(1).toInt())), Device::Unknown, at);
        else
            take(true, frame(2, Byte(words[1].mid(2).toInt())),
                 words[1].startsWith("HT") ? Device::HandTerminal : Device::DotMatrix, at);
    }
}

std::vector<Exchange> recorded(const QString& script) {
    std::string text = std::string(kRecordHeader) + "\n";
    play(script, [&](bool sent, const Frame& bytes, Device device, int at) {
        text += record_line(LocalTime{2026, 12, 7, 10, 0, at / 1000, at % 1000},
                            sent ? RecordEvent::Sent : RecordEvent::Recognised, bytes,
                            sent ? device_name(device, bytes[5]) : "", "komut") +
                "\n";
    });
    ExchangeBuilder exchanges;
    SentFramesReader reader([&](RecordedFrame&& frame) { exchanges.sent(frame); });
    reader.alsoRecognised([&](std::optional<std::int64_t> at, const Frame& frame) { exchanges.recognised(at, frame); });
    reader.add(text);
    return reader.finish() ? std::vector<Exchange>{} : exchanges.take();
}

}  // namespace

class RecordCheckTest : public QObject {
    Q_OBJECT
private slots:
    void compare_data() {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("run");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<int>("unexplained");
        QTest::addColumn<QString>("first");  // the first finding not matched, when given
        // A key on terminal 9 in the record answers nothing and is not looked for.
        const QString two = "S HT5 0; A5 30; K9 50; S HT6 100; A6 130";
        QTest::newRow("all matched") << two << "S HT5 0; A5 31; S HT6 102; A6 131"
                                     << "Hepsi eşleşti: 2 cevap" << 0 << "";
        QTest::newRow("missing") << two << "S HT5 0; A5 31; S HT6 100"
                                 << "1 fark: 1 eksik" << 0
                                 << "eksik: satır 5, El Terminali 6: beklenen 170 16 0 0 0 6 192 (30 ms), gelen yok";
        QTest::newRow("different") << two << "S HT5 0; A5 31; S HT6 100; K6 130"
                                   << "1 fark: 1 farklı" << 0 << "";
        QTest::newRow("within the tolerance") << two << "S HT5 0; A5 31; S HT6 100; A6 380"
                                              << "Hepsi eşleşti: 2 cevap" << 0 << "";
        QTest::newRow("late beyond the tolerance")
            << two << "S HT5 0; A5 31; S HT6 100; A6 381"
            << "1 fark: 1 geç" << 0
            << "geç: satır 5, El Terminali 6: beklenen 170 16 0 0 0 6 192 (30 ms), gelen 170 16 0 0 0 6 192 (281 ms)";
        QTest::newRow("slips into the next interval")
            << two << "S HT5 0; S HT6 100; A5 110; A6 130"
            << "1 fark: 1 geç" << 0
            << "geç: satır 2, El Terminali 5: beklenen 170 16 0 0 0 5 191 (30 ms), gelen 170 16 0 0 0 5 191 (110 ms)";
        QTest::newRow("unexpected") << two << "S HT5 0; A5 31; K5 40; S HT6 100; A6 131"
                                    << "1 fark: 1 beklenmeyen" << 0 << "";
        QTest::newRow("explained by no frame sent") << two << "K9 0; S HT5 0; A5 31; K9 60; S HT6 100; A6 131"
                                                    << "Hepsi eşleşti: 2 cevap" << 2 << "";
        QTest::newRow("two answers in one interval, one missing") << "S HT5 0; A5 30; K5 60"
                                                                  << "S HT5 0; K5 50"
                                                                  << "1 fark: 1 eksik" << 0 << "";
        QTest::newRow("two answers in one interval, other order") << "S HT5 0; A5 30; K5 60"
                                                                  << "S HT5 0; K5 20; A5 50"
                                                                  << "Hepsi eşleşti: 2 cevap" << 0 << "";
        // The second ALINDI is the display's; it is not taken as the terminal's late one.
        QTest::newRow("ALINDI from the same number, two types") << "S HT5 0; A5 30; S DM5 100; A5 130"
                                                                << "S HT5 0; S DM5 100; A5 130"
                                                                << "1 fark: 1 eksik" << 0 << "";
        QTest::newRow("run stopped early") << two << "S HT5 0; A5 31"
                                           << "1 fark: 1 eksik" << 0 << "";
    }
    void compare() {
        QFETCH(QString, record);
        QFETCH(QString, run);
        QFETCH(QString, verdict);
        QFETCH(int, unexplained);
        QFETCH(QString, first);
        const std::vector<Exchange> exchanges = recorded(record);
        std::vector<CheckTime> sent_at;
        std::vector<TimedFrame> received;
        play(run, [&](bool sent, const Frame& bytes, Device, int at) {
            sent ? sent_at.push_back(milliseconds{at}) : received.push_back({bytes, milliseconds{at}});
        });
        const CheckResult result = check_run(exchanges, sent_at, received);
        QCOMPARE(QString::fromStdString(vela::verdict(result)), verdict);
        QCOMPARE(int(result.unexplained.size()), unexplained);
        if (first.isEmpty()) return;
        const auto differs = std::find_if(result.findings.begin(), result.findings.end(),
                                          [](const Finding& f) { return f.outcome != Outcome::Matched; });
        QVERIFY(differs != result.findings.end());
        QCOMPARE(QString::fromStdString(finding_text(*differs, exchanges[differs->exchange])), first);
    }
};

QTEST_APPLESS_MAIN(RecordCheckTest)
#include "tst_record_check.moc"
