// The printer font window: the ESC ! and GS ! values it builds, where "Font
// Seç" stores them, and how it hands back to the ticket settings window.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <stdexcept>

#include "support/feedback_recorder.h"
#include "ui/bilet_ayarlama.h"
#include "ui/console_style.h"
#include "ui/font_ayarla.h"
#include "ui/windows.h"

using vela::BiletAyarlama;
using vela::Font_Ayarla;

namespace {

template <class T>
T& child(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found) throw std::runtime_error("no control " + name.toStdString());
    return *found;
}

void press(QWidget& window, const QString& button) { child<QPushButton>(window, button).click(); }

const QStringList kFontButtons = {"Command3", "Command4", "Command5", "Command6"};

// Per element: its two members and its two labels on the ticket window.
struct ElementView {
    qint16 BiletAyarlama::*esc;
    qint16 BiletAyarlama::*gs;
    const char* escLabel;
    const char* gsLabel;
};
const ElementView kElementViews[4] = {
    {&BiletAyarlama::font_kurum_ismi_1, &BiletAyarlama::font_kurum_ismi_2, "Label2", "Label3"},
    {&BiletAyarlama::font_buton_ismi_1, &BiletAyarlama::font_buton_ismi_2, "Label4", "Label5"},
    {&BiletAyarlama::font_bilet_numarasi_1, &BiletAyarlama::font_bilet_numarasi_2, "Label7", "Label8"},
    {&BiletAyarlama::font_tarih_saat_1, &BiletAyarlama::font_tarih_saat_2, "Label11", "Label12"},
};

// The ticket window on screen; the font window sends nothing, so the port
// plays no part here.
struct Console {
    Console() { bilet.show(); }

    // Opens the font window by the element's "Font Ayarla" button.
    Font_Ayarla& openFor(int element) {
        press(bilet, kFontButtons[element]);
        return windows.fontAyarla();
    }

    // Every element's values and labels, to see which of them changed.
    QStringList elementState() {
        QStringList state;
        for (const ElementView& view : kElementViews) {
            state << QStringLiteral("%1 %2 [%3] [%4]")
                         .arg(bilet.*view.esc)
                         .arg(bilet.*view.gs)
                         .arg(child<QLabel>(bilet, view.escLabel).text(),
                              child<QLabel>(bilet, view.gsLabel).text());
        }
        return state;
    }

    vela::test::FeedbackRecorder feedback;
    vela::Windows windows;
    BiletAyarlama& bilet = windows.biletAyarlama();
};

// A choice on the font window: print modes and the size options (-1: none
// of the group selected).
struct Choice {
    bool fontB = false;
    bool emphasized = false;
    bool doubleHeight = false;
    bool doubleWidth = false;
    bool underline = false;
    int height = -1;
    int width = -1;
};

void choose(Font_Ayarla& font, const Choice& choice) {
    child<QRadioButton>(font, choice.fontB ? "Font_A_B_1" : "Font_A_B_0").setChecked(true);
    child<QCheckBox>(font, "Emphasized_Mode").setChecked(choice.emphasized);
    child<QCheckBox>(font, "Double_Height").setChecked(choice.doubleHeight);
    child<QCheckBox>(font, "Double_Width").setChecked(choice.doubleWidth);
    child<QCheckBox>(font, "Underline").setChecked(choice.underline);
    if (choice.height >= 0) child<QRadioButton>(font, QStringLiteral("Option1_%1").arg(choice.height)).setChecked(true);
    if (choice.width >= 0) child<QRadioButton>(font, QStringLiteral("Option2_%1").arg(choice.width)).setChecked(true);
}

}  // namespace

Q_DECLARE_METATYPE(Choice)

class TestFontAyarla : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vela::applyConsoleStyle(*qobject_cast<QApplication*>(QCoreApplication::instance())); }

    void startsAsDescribed() {
        Console console;
        Font_Ayarla& font = console.openFor(0);
        QCOMPARE(font.windowTitle(), QStringLiteral("VELA TEST Ver 1.7 Font Ayarlama"));
        QCOMPARE(font.size(), QSize(507, 386));
        QVERIFY(child<QRadioButton>(font, "Font_A_B_0").isChecked());
        QCOMPARE(child<QRadioButton>(font, "Option1_1").text(), QStringLiteral("2- Double"));
        for (int i = 0; i < 8; ++i) {
            QVERIFY(!child<QRadioButton>(font, QStringLiteral("Option1_%1").arg(i)).isChecked());
            QVERIFY(!child<QRadioButton>(font, QStringLiteral("Option2_%1").arg(i)).isChecked());
        }
        QCOMPARE(child<QLabel>(font, "Label1").text(), QStringLiteral("Font Komutu: "));
        QCOMPARE(child<QLabel>(font, "Label2").text(), QStringLiteral("Label2"));
        const QFont command = child<QLabel>(font, "Label3").font();
        QVERIFY(command.bold());
        QVERIFY(command.pixelSize() > child<QCheckBox>(font, "Underline").font().pixelSize());
    }

    // The height and width groups are separate: choosing in one leaves the
    // other alone, and within a group only one option stays selected.
    void optionGroups() {
        Console console;
        Font_Ayarla& font = console.openFor(0);
        choose(font, {.height = 2, .width = 5});
        choose(font, {.height = 7});
        QVERIFY(child<QRadioButton>(font, "Option1_7").isChecked());
        QVERIFY(!child<QRadioButton>(font, "Option1_2").isChecked());
        QVERIFY(child<QRadioButton>(font, "Option2_5").isChecked());
        QVERIFY(!child<QRadioButton>(font, "Font_A_B_1").isChecked());
    }

    void fontSec_data() {
        QTest::addColumn<Choice>("choice");
        QTest::addColumn<int>("esc");
        QTest::addColumn<int>("gs");
        QTest::addColumn<QString>("escText");
        QTest::addColumn<QString>("gsText");
        QTest::newRow("initial choices") << Choice{} << 0 << 0 << "27, 33,  0" << "29, 33,  0";
        QTest::newRow("font B and all four")
            << Choice{true, true, true, true, true} << 185 << 0 << "27, 33,  185" << "29, 33,  0";
        QTest::newRow("font B") << Choice{.fontB = true} << 1 << 0 << "27, 33,  1" << "29, 33,  0";
        QTest::newRow("emphasized") << Choice{.emphasized = true} << 8 << 0 << "27, 33,  8" << "29, 33,  0";
        QTest::newRow("double height and underline")
            << Choice{.doubleHeight = true, .underline = true} << 144 << 0 << "27, 33,  144" << "29, 33,  0";
        QTest::newRow("height 3, width Normal")
            << Choice{.height = 2, .width = 0} << 0 << 2 << "27, 33,  0" << "29, 33,  2";
        QTest::newRow("height Normal, width 3")
            << Choice{.height = 0, .width = 2} << 0 << 32 << "27, 33,  0" << "29, 33,  32";
        QTest::newRow("2- Double both") << Choice{.height = 1, .width = 1} << 0 << 17 << "27, 33,  0" << "29, 33,  17";
        QTest::newRow("8 both") << Choice{.height = 7, .width = 7} << 0 << 119 << "27, 33,  0" << "29, 33,  119";
        QTest::newRow("width only") << Choice{.width = 3} << 0 << 48 << "27, 33,  0" << "29, 33,  48";
    }
    void fontSec() {
        QFETCH(Choice, choice);
        QFETCH(int, esc);
        QFETCH(int, gs);
        QFETCH(QString, escText);
        QFETCH(QString, gsText);
        Console console;
        Font_Ayarla& font = console.openFor(0);
        choose(font, choice);
        press(font, "Command3");
        QCOMPARE(console.bilet.font_kurum_ismi_1, qint16(esc));
        QCOMPARE(console.bilet.font_kurum_ismi_2, qint16(gs));
        QCOMPARE(child<QLabel>(font, "Label2").text(), escText);
        QCOMPARE(child<QLabel>(font, "Label3").text(), gsText);
        QCOMPARE(child<QLabel>(console.bilet, "Label2").text(), escText);
        QCOMPARE(child<QLabel>(console.bilet, "Label3").text(), gsText);
        QVERIFY(font.isVisible());  // stays open for another choice
        QVERIFY(!console.bilet.isVisible());
    }

    // "Font Seç" writes only the element whose "Font Ayarla" opened the window.
    void fontSecChangesOnlyItsElement_data() {
        QTest::addColumn<int>("element");
        QTest::newRow("kurum ismi") << 0;
        QTest::newRow("buton ismi") << 1;
        QTest::newRow("bilet numarasi") << 2;
        QTest::newRow("tarih saat") << 3;
    }
    void fontSecChangesOnlyItsElement() {
        QFETCH(int, element);
        Console console;
        QStringList expected = console.elementState();
        expected[element] = QStringLiteral("129 119 [27, 33,  129] [29, 33,  119]");

        Font_Ayarla& font = console.openFor(element);
        choose(font, {.fontB = true, .underline = true, .height = 7, .width = 7});
        press(font, "Command3");
        QCOMPARE(console.elementState(), expected);
    }

    void geriDonStoresNothing() {
        Console console;
        Font_Ayarla& font = console.openFor(1);
        choose(font, {.emphasized = true});
        press(font, "Command3");
        const QStringList before = console.elementState();
        press(font, "Command1");
        QVERIFY(console.bilet.isVisible());
        QVERIFY(!font.isVisible());

        console.openFor(3);
        choose(font, {.underline = true, .height = 4});
        press(font, "Command1");
        QCOMPARE(console.elementState(), before);
        QVERIFY(console.feedback.messages.isEmpty());
    }

    // The window is not reset when opened for another element: it shows the
    // previous choices and labels until "Font Seç".
    void keepsChoicesForTheNextElement() {
        Console console;
        Font_Ayarla& font = console.openFor(0);
        choose(font, {.doubleWidth = true, .height = 1});
        press(font, "Command3");
        press(font, "Command1");

        console.openFor(3);
        QVERIFY(child<QCheckBox>(font, "Double_Width").isChecked());
        QVERIFY(child<QRadioButton>(font, "Option1_1").isChecked());
        QCOMPARE(child<QLabel>(font, "Label2").text(), QStringLiteral("27, 33,  32"));
        QCOMPARE(child<QLabel>(font, "Label3").text(), QStringLiteral("29, 33,  1"));
        QCOMPARE(console.bilet.font_tarih_saat_1, qint16(0));

        press(font, "Command3");
        QCOMPARE(console.bilet.font_tarih_saat_1, qint16(32));
        QCOMPARE(console.bilet.font_tarih_saat_2, qint16(1));
        QCOMPARE(console.bilet.font_kurum_ismi_1, qint16(32));
    }

    // Closing by the title bar returns to the ticket window instead of
    // leaving no window on screen.
    void closingReturnsToTheTicketWindow() {
        Console console;
        Font_Ayarla& font = console.openFor(2);
        choose(font, {.fontB = true});
        font.close();
        QVERIFY(!font.isVisible());
        QVERIFY(console.bilet.isVisible());
        QCOMPARE(console.feedback.ends, 0);
        QCOMPARE(console.bilet.font_bilet_numarasi_1, qint16(0));
    }

    // An unknown element key stores nothing anywhere.
    void unknownElementStoresNothing() {
        Console console;
        Font_Ayarla& font = console.openFor(0);
        console.bilet.aktif_font = QStringLiteral("Kurum ismi");
        choose(font, {.underline = true});
        const QStringList before = console.elementState();
        press(font, "Command3");
        QCOMPARE(console.elementState(), before);
        QCOMPARE(child<QLabel>(font, "Label2").text(), QStringLiteral("Label2"));
    }
};

QTEST_MAIN(TestFontAyarla)
#include "tst_font_ayarla.moc"
