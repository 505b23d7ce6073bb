// "Hat Durumu" on vela-sim's test bench: hand terminal 5 answers after 30 ms,
// 6 is silent and 7 answers with a wrong check byte; and the adapter's error
// counters, which a pseudo-terminal has not, through the port's probe.
#include <QClipboard>
#include <QLabel>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>

#include "support/sim_console.h"
#include "ui/hat_durumu.h"
#include "ui/line_status_model.h"

using namespace vela;
using test::kSimWait;

namespace {

QString cell(const HatDurumu& hat, int row, int column) { return hat.model().index(row, column).data().toString(); }

QLabel& value(HatDurumu& hat, const QString& caption) {
    for (QLabel* label : hat.findChildren<QLabel*>())
        if (label->accessibleName() == caption) return *label;
    throw std::runtime_error("no value " + caption.toStdString());
}

QStringList hatLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {"(unreadable)"};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n'))
        if (line.section(u'\t', 1, 1) == "HAT") lines << line.section(u'\t', 4);
    return lines;
}

}  // namespace

class HatEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setLineErrorProbe({}); }

    void bench() {
        QTemporaryDir dir;
        const QString file = dir.filePath("oturum.txt");
        test::Simulator sim({"--ack", "30", "--silent", "6", "--garble", "7"});
        test::Console console(sim, file);
        QVERIFY(console.opened);
        const QSize menuSize = console.menu.size();
        QVERIFY(console.action("Hat Durumu"));
        QTest::keyClick(&console.menu, Qt::Key_H, Qt::ControlModifier);
        HatDurumu& hat = console.menu.hatDurumu();
        QVERIFY(hat.isVisible() && hat.isWindow() && !hat.isModal() && console.menu.isVisible());
        QCOMPARE(console.menu.size(), menuSize);
        QCOMPARE(test::child<QPushButton>(hat, "Sifirla").accessibleName(), "Sıfırla");
        QCOMPARE(test::child<QSpinBox>(hat, "CevapPenceresi").accessibleName(), "Cevap penceresi");
        QCOMPARE(test::child<QSpinBox>(hat, "CevapPenceresi").value(), 500);

        // Each frame waits for the answer before the next one is sent.
        const auto send = [&](int terminal) {
            console.set({"Text1=" + QString::number(terminal), "Text2=300"});
            console.click("Command2");
            QTest::qWait(150);
        };
        for (int terminal : {5, 6, 7}) send(terminal);
        QTRY_COMPARE_WITH_TIMEOUT(value(hat, "Gelen bayt").text(), "14", kSimWait);
        QTRY_COMPARE(hat.model().rowCount(), 3);
        const QStringList rows[] = {
            {"El Terminali 5", "1", "1", "Sayı Gönder (kod 2)", "ALINDI (ACK) BİLGİSİ geldi (kod 16)"},
            {"El Terminali 6", "1", "0", "Sayı Gönder (kod 2)", "", "sessiz", "0/1"},
            {"El Terminali 7", "1", "0", "Sayı Gönder (kod 2)", "", "sessiz", "0/1"}};
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < rows[row].size(); ++column)
                QCOMPARE(cell(hat, row, column), rows[row][column]);
        }
        QVERIFY(hat.model().index(1, 5).data(Qt::ForegroundRole).isValid());
        QVERIFY(!hat.model().index(0, 5).data(Qt::ForegroundRole).isValid());
        QVERIFY2(cell(hat, 0, 5).endsWith(" (0 sn önce)"), qPrintable(cell(hat, 0, 5)));
        // Measured from the frame's recording: the 30 ms and the port's gathering.
        const QStringList times = cell(hat, 0, 6).section("; ", 1).chopped(3).split(u'/');
        QCOMPARE(cell(hat, 0, 6).section("; ", 0, 0), "1/1");
        QVERIFY2(times[0].toInt() >= 30 && times[0].toInt() < 300 && times[0] == times[2], qPrintable(cell(hat, 0, 6)));
        const QStringList totals = {"Gönderilen bayt", "Geçerli çerçeve", "Çerçeve dışı bayt"};
        QCOMPARE(value(hat, totals[0]).text() + value(hat, totals[1]).text() + value(hat, totals[2]).text(), "2117");
        QCOMPARE(value(hat, "Taşma").text(), "—");
        QCOMPARE(value(hat, "Taşma").toolTip(), HatDurumu::kNotReported);

        // A narrower window than the bench's 30 ms: the next answer comes too late.
        test::child<QSpinBox>(hat, "CevapPenceresi").setValue(20);
        // The acknowledgement names a number only: outside the window its type is not known.
        send(5);
        QTRY_COMPARE_WITH_TIMEOUT(hat.model().rowCount(), 4, kSimWait);
        QCOMPARE(cell(hat, 3, 0) + " " + cell(hat, 3, 2), "Numara 5 (türü bilinmiyor) 1");
        QCOMPARE(cell(hat, 0, 6).section("; ", 0, 0), "1/2");

        QTest::keyClick(hat.table(), Qt::Key_C, Qt::ControlModifier);
        const QStringList copied = QGuiApplication::clipboard()->text().split(u'\n');
        QCOMPARE(copied.size(), 6);  // the header, four rows and the last line feed
        QCOMPARE(copied[0],
                 "Cihaz\tGönderilen\tDuyulan\tSon gönderilen\tSon duyulan\tSon duyulma\t"
                 "Cevaplar (cevaplanan/gönderilen; en az/ortanca/en çok)");
        QVERIFY(copied[2].startsWith("El Terminali 6\t1\t0\tSayı Gönder (kod 2)\t\tsessiz\t0/1"));

        console.action("Oturum Kaydını Kaydet…")->trigger();
        test::press(hat, "Sifirla");
        QCOMPARE(hat.model().rowCount(), 0);
        QCOMPARE(value(hat, "Gelen bayt").text(), "0");
        QCOMPARE(hatLines(file), (QStringList{"Özet: 2 cihaz duyuldu, 3 cihaza gönderildi; 28 bayt gönderildi, 21 bayt "
                                              "geldi, 2 geçerli çerçeve, 7 bayt çerçeve dışı; adaptör hataları: "
                                              "sürücü bildirmiyor",
                                              "Hat Durumu sayaçları sıfırlandı"}));
    }

    // Checked once a second: a HAT line for each change, none while they stay.
    void adapter_counters() {
        QTemporaryDir dir;
        const QString file = dir.filePath("oturum.txt");
        LineErrorCounts counts{1, 0, 0, 0, 0};
        setLineErrorProbe([&](int) { return std::optional(counts); });
        test::Simulator sim;
        test::Console console(sim);
        QVERIFY(console.opened && console.menu.sessionRecorder().saveTo(file));
        HatDurumu& hat = console.menu.hatDurumu();
        hat.show();
        QCOMPARE(value(hat, "Çerçeve hatası").text(), "0");  // since the port opened
        QCOMPARE(value(hat, "Çerçeve hatası").toolTip(), QString());
        counts = {3, 0, 1, 0, 0};
        QTRY_COMPARE_WITH_TIMEOUT(hatLines(file).size(), 1, 3000);
        QTest::qWait(1500);
        counts.breaks = 4;
        QTRY_COMPARE_WITH_TIMEOUT(hatLines(file).size(), 2, 3000);
        const QString total = " (toplam: 2 çerçeve hatası, 0 eşlik hatası, 1 taşma, 0 tampon taşması, %1 kesme)";
        QCOMPARE(hatLines(file), (QStringList{"2 çerçeve hatası, 1 taşma" + total.arg(0), "4 kesme" + total.arg(4)}));
        QTRY_COMPARE(value(hat, "Kesme").text(), "4");
    }
};

QTEST_MAIN(HatEndToEndTest)
#include "tst_hat_e2e.moc"
