// Recognising and decoding received frames.
#include <QTest>

#include "protocol/monitor.h"

using namespace vela;

namespace {

Frame frame_of(const QList<int>& values) {
    Frame frame{};
    for (int i = 0; i < 7; ++i) frame[size_t(i)] = static_cast<Byte>(values[i]);
    return frame;
}

}  // namespace

class MonitorTest : public QObject {
    Q_OBJECT

private slots:
    void window_recognises_frames_data() {
        QTest::addColumn<QList<int>>("received");
        QTest::addColumn<QList<int>>("valid_after");  // indices of the bytes that complete a frame

        QTest::newRow("advance key") << QList<int>{170, 1, 0, 0, 0, 5, 176} << QList<int>{6};
        QTest::newRow("wrong checksum") << QList<int>{170, 1, 0, 0, 0, 5, 177} << QList<int>{};
        QTest::newRow("first byte not 170") << QList<int>{171, 1, 0, 0, 0, 5, 177} << QList<int>{};
        QTest::newRow("frame after noise") << QList<int>{9, 3, 170, 2, 0, 0, 0, 5, 177} << QList<int>{8};
        QTest::newRow("two frames in a row")
            << QList<int>{170, 4, 0, 0, 0, 1, 175, 170, 6, 0, 0, 0, 1, 177} << QList<int>{6, 13};
        QTest::newRow("checksum wrap") << QList<int>{170, 255, 255, 255, 255, 255, 165} << QList<int>{6};
        QTest::newRow("stray start bytes") << QList<int>{170, 170, 170, 170, 1, 0, 0, 0, 5, 176} << QList<int>{9};
        QTest::newRow("frame cut short") << QList<int>{170, 1, 0, 170, 1, 0, 0, 0, 5, 176} << QList<int>{9};
        QTest::newRow("wrong checksum, then a frame")
            << QList<int>{170, 14, 0, 0, 2, 130, 61, 170, 1, 0, 0, 0, 5, 176} << QList<int>{13};
        QTest::newRow("frame broken by a noise byte") << QList<int>{170, 1, 0, 0, 77, 0, 5, 176} << QList<int>{};
        QTest::newRow("seven zeros between")
            << QList<int>{170, 1, 0, 0, 0, 5, 176, 0, 0, 0, 0, 0, 0, 0, 170, 1, 0, 0, 0, 5, 176} << QList<int>{6, 20};
        QTest::newRow("noise that ends like a start") << QList<int>{3, 170, 170, 1, 0, 0, 0, 5, 176} << QList<int>{8};
        // One byte later the window starts with 0, not 170.
        QTest::newRow("all zero frame of 170") << QList<int>{170, 0, 0, 0, 0, 0, 170, 0} << QList<int>{6};
    }

    void window_recognises_frames() {
        QFETCH(QList<int>, received);
        QFETCH(QList<int>, valid_after);
        ReceiveWindow window;
        QList<int> recognised;
        for (int i = 0; i < received.size(); ++i) {
            const std::optional<Frame> frame = window.push(static_cast<Byte>(received[i]));
            if (frame) {
                recognised << i;
                QCOMPARE(*frame, window.values());
                QCOMPARE(int((*frame)[6]), received[i]);
                QCOMPARE(int((*frame)[0]), 170);
            }
        }
        QCOMPARE(recognised, valid_after);
    }

    // The window starts at seven zeros: six bytes never make a frame, even bytes
    // that would complete one with those zeros (0 0 0 0 0 0 0 is not a frame
    // either, its first byte is not 170).
    void nothing_before_seven_bytes() {
        ReceiveWindow window;
        for (int b : {170, 170, 170, 170, 170, 170}) QVERIFY(!window.push(static_cast<Byte>(b)));
        QCOMPARE(window.values(), (Frame{0, 170, 170, 170, 170, 170, 170}));
    }

    void decodes_rows_data() {
        QTest::addColumn<QList<int>>("frame");
        QTest::addColumn<QString>("sentence");

        QTest::newRow("1 advance") << QList<int>{170, 1, 0, 0, 0, 5, 176}
                                   << QStringLiteral("El Terminalinden gelen İLERTLETME KOMUTU");
        QTest::newRow("1 with DATA5 set: no row") << QList<int>{170, 1, 0, 0, 1, 5, 177} << QString();
        QTest::newRow("1 with DATA3 set: no row") << QList<int>{170, 1, 1, 0, 0, 5, 177} << QString();
        QTest::newRow("2 not in the table") << QList<int>{170, 2, 0, 0, 0, 5, 177} << QString();
        QTest::newRow("3 parameters open") << QList<int>{170, 3, 9, 9, 9, 5, 205}
                                           << QStringLiteral("El Terminalinden gelen SAYI TEKRARLATMA KOMUTU");
        QTest::newRow("4 display off") << QList<int>{170, 4, 0, 0, 0, 1, 175}
                                       << QStringLiteral("El Terminalinden gelen DISPLAY KAPATMA KOMUTU");
        QTest::newRow("4 with DATA4 set") << QList<int>{170, 4, 0, 1, 0, 1, 176} << QString();
        QTest::newRow("5 dashes") << QList<int>{170, 5, 0, 0, 0, 1, 176}
                                  << QStringLiteral("El Terminalinden gelen DISPLAY '---' ÇİZGİ YAPMA KOMUTU");
        QTest::newRow("6 display on") << QList<int>{170, 6, 0, 0, 0, 1, 177}
                                      << QStringLiteral("El Terminalinden gelen DISPLAY AÇMA KOMUTU");
        QTest::newRow("7 waiting request") << QList<int>{170, 7, 0, 0, 0, 1, 178}
                                           << QStringLiteral("El Terminalinden gelen BEKLEYEN TALEP KOMUTU");
        QTest::newRow("7 with DATA5 set") << QList<int>{170, 7, 0, 0, 3, 1, 181} << QString();
        QTest::newRow("14 ticket request, DATA5 open")
            << QList<int>{170, 14, 0, 0, 2, 130, 60} << QStringLiteral("Bilet Makinesinden gelen BİLET TALEP KOMUTU");
        QTest::newRow("14 with DATA4 set") << QList<int>{170, 14, 0, 2, 0, 130, 60} << QString();
        QTest::newRow("10 learn group") << QList<int>{170, 10, 0, 0, 7, 1, 188}
                                        << QStringLiteral("El Terminalinden gelen GRUP NO ÖĞRENME KOMUTU");
        QTest::newRow("12 change group") << QList<int>{170, 12, 0, 0, 7, 1, 190}
                                         << QStringLiteral("El Terminalinden gelen GRUP NO DEĞİŞTİRME KOMUTU");
        QTest::newRow("12 with DATA3 set") << QList<int>{170, 12, 7, 0, 0, 1, 190} << QString();
        QTest::newRow("16 acknowledgement") << QList<int>{170, 16, 0, 0, 255, 33, 218}
                                            << QStringLiteral("ALINDI (ACK) BİLGİSİ geldi");
        QTest::newRow("DATA6 and DATA7 not looked at") << QList<int>{170, 16, 0, 0, 0, 0, 99}
                                                       << QStringLiteral("ALINDI (ACK) BİLGİSİ geldi");
        QTest::newRow("other codes") << QList<int>{170, 85, 170, 85, 170, 0, 168} << QString();
    }

    void decodes_rows() {
        QFETCH(QList<int>, frame);
        QFETCH(QString, sentence);
        const std::string_view decoded = decoded_sentence(frame_of(frame));
        QCOMPARE(QString::fromUtf8(decoded.data(), qsizetype(decoded.size())), sentence);
    }
};

QTEST_APPLESS_MAIN(MonitorTest)
#include "tst_monitor.moc"
