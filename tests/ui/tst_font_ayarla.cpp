// The printer font window: the ESC ! and GS ! values it builds (their bits
// are checked in tests/protocol/tst_printer_font.cpp), where "Font Seç"
// stores them, and how it hands back to the ticket settings window.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "support/feedback_recorder.h"
#include "ui/bilet_ayarlama.h"
#include "support/controls.h"
#include "ui/console_style.h"
#include "ui/font_ayarla.h"
#include "ui/windows.h"

using vela::BiletAyarlama;
using vela::Font_Ayarla;

using vela::test::child;
using vela::test::press;

namespace {

// The ticket window on screen; the font window sends nothing, so no port.
struct Console {
    Console() { bilet.show(); }

    // Opens the font window by the element's "Font Ayarla" button.
    Font_Ayarla& openFor(int element) {
        press(bilet, QStringLiteral("Command%1").arg(element + 3));
        return font;
    }

    // Ticks the named print modes (the rest cleared), font B when named, and
    // the named size options ("Option1_h" height, "Option2_w" width).
    void choose(const QStringList& controls) {
        child<QRadioButton>(font, "Font_A_B_0").setChecked(true);
        for (const char* box : {"Emphasized_Mode", "Double_Height", "Double_Width", "Underline"})
            child<QCheckBox>(font, box).setChecked(false);
        for (const QString& name : controls) child<QAbstractButton>(font, name).setChecked(true);
    }

    QString label(QWidget& window, const char* name) { return child<QLabel>(window, name).text(); }
    QString fontLabels() { return QStringLiteral("[%1] [%2]").arg(label(font, "Label2"), label(font, "Label3")); }

    // Every element's two values and two labels on the ticket window.
    QStringList elementState() {
        const qint16 values[8] = {bilet.font_kurum_ismi_1, bilet.font_kurum_ismi_2,     bilet.font_buton_ismi_1,
                                  bilet.font_buton_ismi_2, bilet.font_bilet_numarasi_1, bilet.font_bilet_numarasi_2,
                                  bilet.font_tarih_saat_1, bilet.font_tarih_saat_2};
        const char* labels[8] = {"Label2", "Label3", "Label4", "Label5", "Label7", "Label8", "Label11", "Label12"};
        QStringList state;
        for (int e = 0; e < 4; ++e) {
            state << QStringLiteral("%1 %2 [%3] [%4]")
                         .arg(values[2 * e])
                         .arg(values[2 * e + 1])
                         .arg(label(bilet, labels[2 * e]), label(bilet, labels[2 * e + 1]));
        }
        return state;
    }

    vela::test::FeedbackRecorder feedback;
    vela::Windows windows;
    BiletAyarlama& bilet = windows.biletAyarlama();
    Font_Ayarla& font = windows.fontAyarla();
};

}  // namespace

class TestFontAyarla : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vela::applyConsoleStyle(*qobject_cast<QApplication*>(QCoreApplication::instance())); }

    void startsAsDescribed() {
        Console console;
        Font_Ayarla& font = console.openFor(0);
        QCOMPARE(font.windowTitle(), QStringLiteral("VELA TEST Ver 1.7 Font Ayarlama"));
        QVERIFY(child<QRadioButton>(font, "Font_A_B_0").isChecked());
        for (int i = 0; i < 8; ++i) {
            QVERIFY(!child<QRadioButton>(font, QStringLiteral("Option1_%1").arg(i)).isChecked());
            QVERIFY(!child<QRadioButton>(font, QStringLiteral("Option2_%1").arg(i)).isChecked());
        }
        QCOMPARE(console.label(font, "Label2"), QStringLiteral("Label2"));
    }

    // "Font Seç" stores the values and shows them, with their blanks, for
    // the element whose "Font Ayarla" opened the window and no other.
    void fontSec_data() {
        QTest::addColumn<int>("element");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("choice");
        QTest::addColumn<QString>("stored");
        QTest::newRow("initial choices") << 0 << "kurum ismi" << QStringList{} << "0 0 [27, 33,  0] [29, 33,  0]";
        QTest::newRow("font B and all four")
            << 1 << "buton ismi"
            << QStringList{"Font_A_B_1", "Emphasized_Mode", "Double_Height", "Double_Width", "Underline"}
            << "185 0 [27, 33,  185] [29, 33,  0]";
        QTest::newRow("height 3, width Normal")
            << 2 << "bilet numarasi" << QStringList{"Option1_2", "Option2_0"} << "0 2 [27, 33,  0] [29, 33,  2]";
        QTest::newRow("height Normal, width 3")
            << 3 << "tarih saat" << QStringList{"Option1_0", "Option2_2"} << "0 32 [27, 33,  0] [29, 33,  32]";
    }
    void fontSec() {
        QFETCH(int, element);
        QFETCH(QString, key);
        QFETCH(QStringList, choice);
        QFETCH(QString, stored);
        Console console;
        QStringList expected = console.elementState();
        expected[element] = stored;
        Font_Ayarla& font = console.openFor(element);
        QCOMPARE(console.bilet.aktif_font, key);
        QVERIFY(font.isVisible() && !console.bilet.isVisible());
        console.choose(choice);
        press(font, "Command3");
        QCOMPARE(console.elementState(), expected);
        QCOMPARE(console.fontLabels(), stored.mid(stored.indexOf(u'[')));
        QVERIFY(font.isVisible());  // stays open for another choice
    }

    // The window is not reset when opened for another element: it shows the
    // previous choices and labels until "Font Seç". The height and width
    // groups are separate, one option selected in each.
    void keepsChoicesForTheNextElement() {
        Console console;
        Font_Ayarla& font = console.openFor(0);
        console.choose({"Option1_2", "Option2_5"});
        console.choose({"Double_Width", "Option1_1"});
        press(font, "Command3");
        press(font, "Command1");
        console.openFor(3);
        QVERIFY(child<QCheckBox>(font, "Double_Width").isChecked() &&
                child<QRadioButton>(font, "Option1_1").isChecked());
        QVERIFY(!child<QRadioButton>(font, "Option1_2").isChecked() &&
                child<QRadioButton>(font, "Option2_5").isChecked());
        QCOMPARE(console.fontLabels(), QStringLiteral("[27, 33,  32] [29, 33,  81]"));
        QCOMPARE(console.elementState().at(3), QStringLiteral("0 0 [Label11] [Label12]"));
        press(font, "Command3");
        QCOMPARE(console.elementState().at(3), QStringLiteral("32 81 [27, 33,  32] [29, 33,  81]"));
        QCOMPARE(console.elementState().at(0), QStringLiteral("32 81 [27, 33,  32] [29, 33,  81]"));
    }

    // "Geri Dön" and the title bar's close return to the ticket window and
    // store nothing; neither does "Font Seç" for an unknown element key.
    void leavingStoresNothing_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("Geri Dön") << 0;
        QTest::newRow("title bar") << 1;
        QTest::newRow("unknown element key") << 2;
    }
    void leavingStoresNothing() {
        QFETCH(int, how);
        Console console;
        const QStringList before = console.elementState();
        Font_Ayarla& font = console.openFor(2);
        console.choose({"Font_A_B_1", "Underline", "Option1_4"});
        if (how == 0) press(font, "Command1");
        if (how == 1) font.close();
        if (how == 2) {
            console.bilet.aktif_font = QStringLiteral("Bilet numarasi");
            press(font, "Command3");
            QCOMPARE(console.fontLabels(), QStringLiteral("[Label2] [Label3]"));
        }
        QCOMPARE(console.elementState(), before);
        QCOMPARE(console.bilet.isVisible(), how != 2);
        QCOMPARE(font.isVisible(), how == 2);
        QCOMPARE(console.feedback.ends, 0);
        QVERIFY(console.feedback.messages.isEmpty());
    }
};

QTEST_MAIN(TestFontAyarla)
#include "tst_font_ayarla.moc"
