// The ticket settings and font windows: the way between the windows, "Font
// Seç", the print preview, and the ticket transfer on a real pseudo-terminal.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTextEdit>
#include <numeric>

#include "option_arrays.h"
#include "support/console.h"
#include "ui/font_ayarla.h"

using namespace vela::test;

namespace {

QString caption(QWidget& window, const char* label) { return child<QLabel>(window, label).text(); }
void tick(QWidget& window, const char* box) { child<QAbstractButton>(window, box).setChecked(true); }

// Each element's two values and two labels, such as "0 0 [Label2] [Label3]".
QStringList elements(vela::BiletAyarlama& b) {
    const auto element = [&](qint16 esc, qint16 gs, const char* escLabel, const char* gsLabel) {
        return QStringLiteral("%1 %2 [%3] [%4]").arg(esc).arg(gs).arg(caption(b, escLabel), caption(b, gsLabel));
    };
    return {element(b.font_kurum_ismi_1, b.font_kurum_ismi_2, "Label2", "Label3"),
            element(b.font_buton_ismi_1, b.font_buton_ismi_2, "Label4", "Label5"),
            element(b.font_bilet_numarasi_1, b.font_bilet_numarasi_2, "Label7", "Label8"),
            element(b.font_tarih_saat_1, b.font_tarih_saat_2, "Label11", "Label12")};
}

// The machine number and lines as "1+ABC": the index in Check1/Text1,
// ticked (+) or not (-), the text.
void enter(vela::BiletAyarlama& bilet, const QString& machine, const QStringList& lines) {
    child<QLineEdit>(bilet, "Text5").setText(machine);
    for (const QString& line : lines) {
        bilet.Check1(line[0].digitValue())->setChecked(line[1] == u'+');
        bilet.Text1(line[0].digitValue())->setText(line.mid(2));
    }
}

}  // namespace

class BiletAyarlamaTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useConsoleStyle(); }

    // The windows replace each other and keep what was typed, ticked and chosen.
    // "Font Seç" stores into the element whose "Font Ayarla" opened the font
    // window, which keeps its choices between openings; leaving without it stores nothing.
    void navigation() {
        Console console(Console::Port::Closed);
        vela::BiletAyarlama& bilet = console.bilet;
        vela::Font_Ayarla& font = console.windows.fontAyarla();
        console.click(QStringLiteral("Command29"));
        QVERIFY(!console.menu.isVisible() && bilet.isVisible());
        enter(bilet, QStringLiteral("131"), {"2+ŞUBE 3", "7-VEZNE"});
        tick(bilet, "Check7");
        const std::tuple<const char*, const char*, QStringList> elementChoices[] = {
            {"Command3", "kurum ismi", {"Option1_2"}},
            {"Command4", "buton ismi", {"Option2_2"}},
            {"Command5",
             "bilet numarasi",
             {"Font_A_B_1", "Emphasized_Mode", "Double_Height", "Double_Width", "Underline"}},
            {"Command6", "tarih saat", {"Option2_5", "Option1_1", "Option1_7"}}};  // height and width groups apart
        for (const auto& [button, key, choices] : elementChoices) {
            press(bilet, button);
            QCOMPARE(bilet.aktif_font, QString::fromLatin1(key));
            QVERIFY(font.isVisible() && !bilet.isVisible());
            for (const QString& name : choices) tick(font, qPrintable(name));
            press(font, "Command3");
            press(font, "Command1");
            QVERIFY(bilet.isVisible() && !font.isVisible());
        }
        press(bilet, "Command3");
        QCOMPARE(caption(font, "Label2") + "|" + caption(font, "Label3"), QStringLiteral("27, 33,  185|29, 33,  87"));
        tick(font, "Font_A_B_0");
        font.close();  // by the title bar: back as with "Geri Dön"
        QVERIFY(bilet.isVisible() && !font.isVisible());
        press(bilet, "Command1");
        QVERIFY(console.menu.isVisible() && !bilet.isVisible());
        console.click(QStringLiteral("Command29"));

        QCOMPARE(elements(bilet),
                 (QStringList{"0 2 [27, 33,  0] [29, 33,  2]", "0 34 [27, 33,  0] [29, 33,  34]",
                              "185 34 [27, 33,  185] [29, 33,  34]", "185 87 [27, 33,  185] [29, 33,  87]"}));
        QCOMPARE(child<QLineEdit>(bilet, "Text5").text() + bilet.Text1(2)->text() + bilet.Text1(7)->text(),
                 QStringLiteral("131ŞUBE 3VEZNE"));
        QVERIFY(bilet.Check1(2)->isChecked() && !bilet.Check1(7)->isChecked());
        QVERIFY(child<QCheckBox>(bilet, "Check7").isChecked() && !child<QCheckBox>(bilet, "Check6").isChecked());
        QCOMPARE(console.feedback.ends, 0);
        bilet.close();  // by the title bar, as the main window
        console.menu.close();
        QCOMPARE(console.feedback.ends, 2);
    }

    // The chosen font clicked again stays chosen beside the chosen sizes, and
    // "Font Seç" keeps its bit: Font B 1, double height 16, double width 32.
    void fontClickedAgain_data() {
        QTest::addColumn<QString>("font");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("esc");
        // clang-format off
        QTest::newRow("Font B") << "Font_A_B_1" << "Font_A_B_0" << "27, 33,  49";
        QTest::newRow("Font A") << "Font_A_B_0" << "Font_A_B_1" << "27, 33,  48";
        // clang-format on
    }
    void fontClickedAgain() {
        QFETCH(QString, font);
        QFETCH(QString, other);
        Console console(Console::Port::Closed);
        vela::Font_Ayarla& window = console.windows.fontAyarla();
        press(console.bilet, "Command3");
        for (const QString& name : {other, font, QStringLiteral("Double_Height"), QStringLiteral("Double_Width"),
                                    QStringLiteral("Option2_2"), QStringLiteral("Option1_1"), font}) {
            click(window, name);
        }
        QCOMPARE(chosen(window, {{"Font_A_B_0", "Font_A_B_1"}}), font);
        press(window, "Command3");
        QTEST(caption(window, "Label2"), "esc");
        QCOMPARE(caption(window, "Label3"), QStringLiteral("29, 33,  33"));  // height x2: 1, width x3: 2 * 16
    }

    // The fonts, the heights (Option1) and the widths (Option2) are three arrays.
    void fontOptionArrays() {
        Console console(Console::Port::Closed);
        press(console.bilet, "Command4");
        clickThroughArrays(console.windows.fontAyarla(),
                           {numbered("Font_A_B_", 0, 1), numbered("Option1_", 0, 7), numbered("Option2_", 0, 7)});
    }

    // The preview shows the ticked lines in full and sends nothing. The
    // transfer sends the machine number, each line cut to its slot and each
    // ticked font in its place; the main window's display keeps its frame.
    void previewAndTransfer() {
        const QString none = QStringLiteral("00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
        const QString emptyTicked = QStringLiteral("00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 0A");
        QList<int> expected = hex("AA 1D 01 00 00 00 C8");  // a main window frame before
        const auto lineFrames = [&](int code, const QStringList& slotBytes) {
            for (qsizetype s = 0; s < slotBytes.size(); ++s) {
                for (int p = 0; p < 16; ++p) {
                    const QList<int> frame{170, code, int(s), p, hex(slotBytes[s])[p], 130};
                    expected << frame << std::accumulate(frame.begin(), frame.end(), 0) % 256;
                }
            }
        };
        lineFrames(31, {none, "00 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 0A", emptyTicked, none});
        expected << hex("AA 1E 02 11 00 82 5D");
        lineFrames(32, {none, "00 DD DE F0 80 00 00 00 00 00 00 00 00 00 00 0A"});
        expected << hex("AA 1E 03 08 00 82 55 AA 1E 08 77 00 82 C9");

        Console console;
        console.click(QStringLiteral("Command34"));
        vela::BiletAyarlama& bilet = console.bilet;
        // A character without a code is no obstacle where it is not sent.
        enter(bilet, QStringLiteral(" 1 30"), {"0-ж", "1+ABCDEFGHIJKLMNOPQRSTж", "2+", "7+İŞğ€"});
        bilet.font_kurum_ismi_2 = 17;
        bilet.font_buton_ismi_1 = 8;
        bilet.font_tarih_saat_2 = 119;
        for (const char* box : {"Check3", "Check4", "Check9"}) tick(bilet, box);
        press(bilet, "Command2");
        press(bilet, "Command2");  // built again, the same
        QCOMPARE(child<QTextEdit>(bilet, "RichTextBox1").toPlainText(),
                 QStringLiteral("ABCDEFGHIJKLMNOPQRSTж\n\n\nİŞğ€\n"));
        QElapsedTimer clock;
        clock.start();
        press(bilet, "BiletBilgisiGönder");
        QVERIFY(clock.elapsed() >= 96);  // 1 ms after every character frame at least
        QCOMPARE(asInts(console.pty.readAll()), expected);
        QCOMPARE(console.feedback.messages, QStringList{});
        QCOMPARE(console.shown(&vela::AnaMenu::GonderilenLabel), shownBytes(expected.first(7)));
    }

    // Nothing goes out that a frame cannot carry; one message a click.
    void refusals_data() {
        QTest::addColumn<QString>("machine");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("message");
        const QString range = QStringLiteral("Bilet Makinesi No 0 ile 255 arasında olmalı!");
        QTest::newRow("machine 256") << QString("256") << QString("0+A") << range;
        QTest::newRow("no code") << QString("129") << QString("3+€ ж") << QString("'ж' karakteri gönderilemez!");
    }
    void refusals() {
        QFETCH(QString, machine);
        QFETCH(QString, line);
        QFETCH(QString, message);
        Console console;
        enter(console.bilet, machine, {line});
        press(console.bilet, "BiletBilgisiGönder");
        press(console.bilet, "BiletBilgisiGönder");
        QCOMPARE(console.feedback.messages, QStringList(2, message));
        QVERIFY(console.pty.readAll().empty());
    }
};

QTEST_MAIN(BiletAyarlamaTest)
#include "tst_bilet_ayarlama.moc"
