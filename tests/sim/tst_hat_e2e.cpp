// "Hat Durumu" on vela-sim's test bench: hand terminal 5 answers after 30 ms,
// 6 is silent and 7 answers with a wrong check byte; and the adapter's error
// counters, which a pseudo-terminal has not, through the port's probe.
#include <QClipboard>
#include <QLabel>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>

#include "support/sim_console.h"
#include "ui/hat_durumu.h"
#include "ui/line_status_model.h"

using namespace vela;
using test::kSimWait;

namespace {

QLabel& value(HatDurumu& hat, const QString& caption) {
    for (QLabel* label : hat.findChildren<QLabel*>())
        if (label->accessibleName() == caption) return *label;
    throw std::runtime_error("no value " + caption.toStdString());
}

QStringList hatLines(const QString& path) {
    QFile file(path);
    QStringList lines;
    if (file.open(QIODevice::ReadOnly))
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
        QVERIFY(console.action("Hat Durumu"));
        QTest::keyClick(&console.menu, Qt::Key_H, Qt::ControlModifier);
        HatDurumu& hat = console.menu.hatDurumu();
        QVERIFY(hat.isVisible() && hat.isWindow() && !hat.isModal() && console.menu.isVisible());
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
        const QStringList totals = {"Gönderilen bayt", "Geçerli çerçeve", "Çerçeve dışı bayt"};
        QCOMPARE(value(hat, totals[0]).text() + value(hat, totals[1]).text() + value(hat, totals[2]).text(), "2117");
        // 35 bytes of 10 bits in 10 s of a 9600-baud line.
        QCOMPARE(value(hat, "Hat yükü (son 10 sn)").text(), "%0,4 (9600 baud)");
        QCOMPARE(value(hat, "Taşma").text(), "—");
        QCOMPARE(value(hat, "Taşma").toolTip(), HatDurumu::kNotReported);
        QTRY_VERIFY(hat.model().index(1, 5).data(Qt::ForegroundRole).isValid());  // silent, in colour
        QVERIFY(!hat.model().index(0, 5).data(Qt::ForegroundRole).isValid());

        // A window narrower than the bench's 30 ms: the acknowledgement comes
        // too late, and names a number of no known type.
        test::child<QSpinBox>(hat, "CevapPenceresi").setValue(20);
        send(5);
        QTRY_COMPARE_WITH_TIMEOUT(hat.model().rowCount(), 4, kSimWait);
        QTest::keyClick(hat.table(), Qt::Key_C, Qt::ControlModifier);
        const QStringList copied = QGuiApplication::clipboard()->text().split(u'\n');
        const QString ack = "ALINDI \\(ACK\\) BİLGİSİ geldi \\(kod 16\\)\t\\d\\d:\\d\\d:\\d\\d \\(\\d sn önce\\)\t";
        const QStringList expected = {
            "Cihaz\tGönderilen\tDuyulan\tSon gönderilen\tSon duyulan\tSon duyulma\t"
            "Cevaplar \\(cevaplanan/gönderilen; en az/ortanca/en çok\\)",
            "El Terminali 5\t2\t1\tSayı Gönder \\(kod 2\\)\t" + ack + "1/2; (\\d+)/\\1/\\1 ms",
            "El Terminali 6\t1\t0\tSayı Gönder \\(kod 2\\)\t\tsessiz\t0/1",
            "El Terminali 7\t1\t0\tSayı Gönder \\(kod 2\\)\t\tsessiz\t0/1",
            "Numara 5 \\(türü bilinmiyor\\)\t0\t1\t\t" + ack,
            ""};
        QCOMPARE(copied.size(), expected.size());
        for (qsizetype i = 0; i < copied.size(); ++i)
            QVERIFY2(QRegularExpression("^" + expected[i] + "$").match(copied[i]).hasMatch(), qPrintable(copied[i]));
        // Measured from the frame's recording: the 30 ms and the port's gathering.
        const int reply = copied[1].section("; ", 1).section(u'/', 0, 0).toInt();
        QVERIFY2(reply >= 30 && reply < 300, qPrintable(copied[1]));

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
