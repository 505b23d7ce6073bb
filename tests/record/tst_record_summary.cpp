// What the confirmation before sending a record again says: the devices,
// grouped, the waits and the run's length.
#include <QTest>
#include <limits>

#include "record/record_summary.h"

using namespace vela;
using ms = std::chrono::milliseconds;
using Times = std::vector<std::optional<std::int64_t>>;

Q_DECLARE_METATYPE(Times)

class RecordSummaryTest : public QObject {
    Q_OBJECT
private slots:
    // Devices as their record fields name them ("name@DATA6"); the address is
    // taken from the frame, the type from the name.
    void devices_data() {
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("summary");
        QStringList commissioning{"Ding-Dong Zil@0", "Dot Matrix Display 131@131", "Dot Matrix Display 130@130"};
        for (int t = 12; t >= 1; --t) commissioning << QString("El Terminali %1@%1").arg(t);
        // clang-format off
        QTest::newRow("commissioning") << commissioning << "El Terminali 1–12, Dot Matrix Display 130–131, Ding-Dong Zil";
        QTest::newRow("gaps and repeats")
            << QStringList{"El Terminali 5@5", "El Terminali 3@3", "El Terminali 5@5", "El Terminali 7@7", "El Terminali 4@4"}
            << "El Terminali 3–5, 7";
        QTest::newRow("address edited, name not") << QStringList{"Bilet Makinesi 129@130"} << "Bilet Makinesi 130";
        QTest::newRow("every type in bus order")
            << QStringList{"GENEL@0", "@9", "Ana Tablo 201@201", "Bilet Makinesi 129@129", "El Terminali 0@0",
                           "El Terminali 255@255", "Ding-Dong Zil@0"}
            << "El Terminali 0, 255, Bilet Makinesi 129, Ana Tablo 201, Ding-Dong Zil, GENEL, Adres 9";
        QTest::newRow("not a device name")
            << QStringList{"El Terminali@1", "El Terminali 256@2", "el terminali 5@3"} << "Adres 1–3";
        // clang-format on
    }

    void devices() {
        QFETCH(QStringList, sent);
        std::vector<AddressedDevice> devices;
        for (const QString& s : sent)
            devices.push_back(
                {recorded_device(s.section('@', 0, 0).toStdString()), static_cast<Byte>(s.section('@', 1).toInt())});
        QTEST(QString::fromStdString(devices_summary(devices)), "summary");
    }

    void gaps_data() {
        QTest::addColumn<Times>("times");
        QTest::addColumn<bool>("shortened");
        QTest::addColumn<QList<qint64>>("gaps");
        const Times text{1000, 1201, 1221, 1441, 1461};  // a two-letter dot-matrix text
        QTest::newRow("as recorded") << text << false << QList<qint64>{201, 20, 220, 20};
        QTest::newRow("short ones stay") << text << true << QList<qint64>{201, 20, 220, 20};
        const Times site{0, 1000, 1001, 600001, 601002};
        QTest::newRow("minutes apart") << site << false << QList<qint64>{1000, 1, 599000, 1001};
        QTest::newRow("minutes, shortened") << site << true << QList<qint64>{1000, 1, 1000, 1000};
        QTest::newRow("time missing or out of order")
            << Times{5000, std::nullopt, 7000, 6000, 6500} << false << QList<qint64>{0, 0, 0, 500};
        QTest::newRow("one frame") << Times{42} << true << QList<qint64>{};
        constexpr std::int64_t kLongest = std::numeric_limits<std::int64_t>::max();
        QTest::newRow("too far apart to count")
            << Times{-kLongest, kLongest, -kLongest} << false << QList<qint64>{kLongest, 0};
    }

    void gaps() {
        QFETCH(Times, times);
        QFETCH(bool, shortened);
        QList<qint64> got;
        for (const ms gap : gaps_between(times, shortened ? Gaps::LongOnesShortened : Gaps::AsRecorded))
            got << gap.count();
        QTEST(got, "gaps");
    }

    void duration_data() {
        QTest::addColumn<QList<qint64>>("gaps");
        QTest::addColumn<int>("baud");
        QTest::addColumn<qint64>("expected");
        QTest::addColumn<QString>("text");
        // A frame is 70 bits: 7.292 ms at 9600 baud, 3.646 ms at 19200.
        QTest::newRow("one frame") << QList<qint64>{} << 9600 << qint64(7) << "0,0 sn";
        QTest::newRow("gaps shorter than a frame") << QList<qint64>{0, 1, 20} << 9600 << qint64(42) << "0,0 sn";
        QTest::newRow("faster line") << QList<qint64>{0, 1, 20} << 19200 << qint64(31) << "0,0 sn";
        QTest::newRow("just under ten seconds") << QList<qint64>{9942} << 9600 << qint64(9949) << "9,9 sn";
        QTest::newRow("rounds up to ten") << QList<qint64>{9943} << 9600 << qint64(9950) << "10 sn";
        QTest::newRow("a minute and five") << QList<qint64>{64993} << 9600 << qint64(65000) << "1 dk 05 sn";
        QTest::newRow("hours") << QList<qint64>{3600000, 3600000, 180000} << 9600 << qint64(7380007) << "2 sa 03 dk";
        QTest::newRow("longer than can be counted") << QList<qint64>{std::numeric_limits<qint64>::max(), 1000} << 9600
                                                    << std::numeric_limits<qint64>::max() << "2562047788015 sa 13 dk";
    }

    void duration() {
        QFETCH(QList<qint64>, gaps);
        QFETCH(int, baud);
        std::vector<ms> waits;
        for (qint64 g : gaps) waits.push_back(ms(g));
        const ms got = run_duration(waits, waits.size() + 1, baud);
        QTEST(qint64(got.count()), "expected");
        QTEST(QString::fromStdString(duration_text(got)), "text");
    }
};

QTEST_APPLESS_MAIN(RecordSummaryTest)
#include "tst_record_summary.moc"
