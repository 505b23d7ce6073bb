// Recognising and decoding received frames.
#include <QTest>

#include "protocol/monitor.h"

using namespace vela;

class MonitorTest : public QObject {
    Q_OBJECT
private slots:
    // The bytes one at a time: the indices of those that complete a frame.
    void window() {
        const QList<std::pair<QList<int>, QList<int>>> rows = {
            {{170, 1, 0, 0, 0, 5, 176}, {6}}, {{170, 1, 0, 0, 0, 5, 177}, {}}, {{170, 170, 170, 170, 170, 170}, {}},
            {{9, 170, 4, 0, 0, 0, 1, 175, 170, 6, 0, 0, 0, 1, 177}, {7, 14}},  // after noise, then again
            {{170, 255, 255, 255, 255, 255, 165}, {6}},                        // checksum wrap
            {{170, 1, 0, 170, 1, 0, 0, 0, 5, 176}, {9}},                       // a frame cut short
            {{170, 0, 0, 0, 0, 0, 170, 0}, {6}}};                              // all zero, not again a byte later
        for (const auto& [received, valid_after] : rows) {
            ReceiveWindow window;
            QList<int> recognised;
            for (int i = 0; i < received.size(); ++i) {
                if (const std::optional<Frame> frame = window.push(static_cast<Byte>(received[i]))) {
                    recognised << i;
                    QCOMPARE(QList<int>(frame->begin(), frame->end()), received.mid(i - 6, 7));
                }
            }
            QCOMPARE(recognised, valid_after);
        }
    }

    // Valid frames; DATA6 and DATA7 are never looked at.
    void decode() {
        const QList<std::pair<Frame, const char*>> rows = {
            {{170, 1, 0, 0, 0, 5, 176}, "El Terminalinden gelen İLERTLETME KOMUTU"}, {{170, 1, 0, 0, 1, 5, 177}, ""},
            {{170, 2, 0, 0, 0, 5, 177}, ""}, {{170, 3, 9, 9, 9, 5, 205}, "El Terminalinden gelen SAYI TEKRARLATMA KOMUTU"},
            {{170, 4, 0, 0, 0, 1, 175}, "El Terminalinden gelen DISPLAY KAPATMA KOMUTU"}, {{170, 4, 0, 1, 0, 1, 176}, ""},
            {{170, 5, 0, 0, 0, 1, 176}, "El Terminalinden gelen DISPLAY '---' ÇİZGİ YAPMA KOMUTU"},
            {{170, 6, 0, 0, 0, 1, 177}, "El Terminalinden gelen DISPLAY AÇMA KOMUTU"},
            {{170, 7, 0, 0, 0, 1, 178}, "El Terminalinden gelen BEKLEYEN TALEP KOMUTU"}, {{170, 7, 0, 0, 3, 1, 181}, ""},
            {{170, 14, 0, 0, 2, 130, 60}, "Bilet Makinesinden gelen BİLET TALEP KOMUTU"}, {{170, 14, 0, 2, 0, 130, 60}, ""},
            {{170, 10, 0, 0, 7, 1, 188}, "El Terminalinden gelen GRUP NO ÖĞRENME KOMUTU"},
            {{170, 12, 0, 0, 7, 1, 190}, "El Terminalinden gelen GRUP NO DEĞİŞTİRME KOMUTU"}, {{170, 12, 7, 0, 0, 1, 190}, ""},
            {{170, 16, 0, 0, 255, 0, 99}, "ALINDI (ACK) BİLGİSİ geldi"}, {{170, 85, 170, 85, 170, 0, 168}, ""}};
        for (const auto& [frame, sentence] : rows) {
            QCOMPARE(QString::fromUtf8(std::string(decoded_sentence(frame))), QString::fromUtf8(sentence));
        }
    }
};

QTEST_APPLESS_MAIN(MonitorTest)
#include "tst_monitor.moc"
