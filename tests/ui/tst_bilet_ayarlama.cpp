// The ticket settings window: navigation, print preview and the transfer of
// the ticket layout, seen on the far end of a real pseudo-terminal.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>
#include <stdexcept>

#include "protocol/ticket.h"
#include "support/feedback_recorder.h"
#include "support/pty.h"
#include "ui/ana_menu.h"
#include "ui/bilet_ayarlama.h"
#include "ui/console_style.h"
#include "ui/font_ayarla.h"
#include "ui/transmitter.h"
#include "ui/windows.h"

using vela::BiletAyarlama;
using vela::Frame;
using vela::TicketLayout;

// A frame expected at one index of the transfer.
struct Spot {
    int index;
    Frame frame;
};
using Spots = std::vector<Spot>;
Q_DECLARE_METATYPE(TicketLayout)
Q_DECLARE_METATYPE(Spots)

namespace {

template <class T>
T& child(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found) throw std::runtime_error("no control " + name.toStdString());
    return *found;
}

void press(QWidget& window, const QString& button) { child<QPushButton>(window, button).click(); }

// The console as the technician leaves it after the port-selection window:
// the main window's port open on the pty, the ticket window on screen.
struct Console {
    explicit Console(bool openPort = true) {
        qputenv("VELA_COM1", QByteArray::fromStdString(pty.slavePath()));
        if (openPort) {
            auto& port = windows.anaMenu().MSComm1;
            port.setCommPort(1);
            port.setSettings(QStringLiteral("9600,N,8,1"));
            port.open();
            port.setRThreshold(1);
        }
        windows.biletAyarlama().show();
        feedback.clear();
    }

    std::vector<Frame> received(std::size_t frames) {
        const std::vector<std::uint8_t> bytes = pty.read(frames * 7);
        std::vector<Frame> result(bytes.size() / 7);
        for (std::size_t i = 0; i < result.size(); ++i) std::copy_n(bytes.begin() + 7 * i, 7, result[i].begin());
        return result;
    }

    vela::test::Pty pty;
    vela::test::FeedbackRecorder feedback;
    vela::Windows windows;
    BiletAyarlama& bilet = windows.biletAyarlama();
};

// Puts a layout into the window as the technician would type and tick it.
void enter(BiletAyarlama& bilet, const TicketLayout& layout) {
    for (int k = 0; k < 4; ++k) {
        bilet.Check1(k)->setChecked(layout.institution[k].ticked);
        bilet.Text1(k)->setText(QString::fromStdString(layout.institution[k].text));
    }
    for (int k = 0; k < 2; ++k) {
        bilet.Check1(6 + k)->setChecked(layout.button[k].ticked);
        bilet.Text1(6 + k)->setText(QString::fromStdString(layout.button[k].text));
    }
    qint16* const members[8] = {&bilet.font_kurum_ismi_1,     &bilet.font_kurum_ismi_2,
                                &bilet.font_buton_ismi_1,     &bilet.font_buton_ismi_2,
                                &bilet.font_bilet_numarasi_1, &bilet.font_bilet_numarasi_2,
                                &bilet.font_tarih_saat_1,     &bilet.font_tarih_saat_2};
    for (int slot = 0; slot < 8; ++slot) {
        *members[slot] = layout.fonts[slot];
        child<QCheckBox>(bilet, QStringLiteral("Check%1").arg(slot + 2)).setChecked(layout.font_ticked[slot]);
    }
}

QString text(const Frame& frame) {
    QStringList bytes;
    for (vela::Byte b : frame) bytes << QString::number(b);
    return bytes.join(u' ');
}

QStringList text(const std::vector<Frame>& frames) {
    QStringList lines;
    for (const Frame& frame : frames) lines << text(frame);
    return lines;
}

QStringList text(const vela::Sequence& sequence) {
    QStringList lines;
    for (const vela::Step& step : sequence) lines << text(step.frame);
    return lines;
}

TicketLayout line(int index, const std::string& text) {
    TicketLayout layout;
    if (index < 4) layout.institution[index] = {true, text};
    else layout.button[index - 6] = {true, text};
    return layout;
}

}  // namespace

class TestBiletAyarlama : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vela::applyConsoleStyle(*qobject_cast<QApplication*>(QCoreApplication::instance())); }

    void startsEmpty() {
        Console console;
        BiletAyarlama& bilet = console.bilet;
        QCOMPARE(bilet.windowTitle(), QStringLiteral("VELA TEST Ver 1.7 Bilet Ayarları"));
        QCOMPARE(bilet.size(), QSize(946, 674));
        for (int k : {0, 1, 2, 3, 6, 7}) {
            QVERIFY(!bilet.Check1(k)->isChecked());
            QVERIFY(bilet.Text1(k)->text().isEmpty());
        }
        QVERIFY(!bilet.Check1(4) && !bilet.Text1(5) && !bilet.Check1(8));
        for (const char* label : {"Label2", "Label3", "Label4", "Label5", "Label7", "Label8", "Label11", "Label12"})
            QCOMPARE(child<QLabel>(bilet, label).text(), QString::fromLatin1(label));
        QCOMPARE(child<QTextEdit>(bilet, "RichTextBox1").toPlainText(), QStringLiteral("RichTextBox1"));
        QCOMPARE(child<QTextEdit>(bilet, "RichTextBox1").font().pointSizeF(), 8.5);
        QVERIFY(bilet.aktif_font.isEmpty());
        QCOMPARE(bilet.font_kurum_ismi_1 | bilet.font_kurum_ismi_2 | bilet.font_buton_ismi_1 |
                     bilet.font_buton_ismi_2 | bilet.font_bilet_numarasi_1 | bilet.font_bilet_numarasi_2 |
                     bilet.font_tarih_saat_1 | bilet.font_tarih_saat_2,
                 0);
    }

    // Twip positions at 15 twips per pixel, relative to the window or frame.
    void positions_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("Text5") << "Text5" << QRect(128, 16, 49, 19);
        QTest::newRow("Frame1") << "Frame1" << QRect(16, 56, 361, 177);
        QTest::newRow("Frame5") << "Frame5" << QRect(392, 56, 361, 129);
        QTest::newRow("Frame3") << "Frame3" << QRect(392, 248, 361, 73);
        QTest::newRow("GÖNDER") << "BiletBilgisiGönder" << QRect(120, 456, 145, 49);
        QTest::newRow("Command2") << "Command2" << QRect(200, 520, 145, 49);
        QTest::newRow("Frame4") << "Frame4" << QRect(520, 368, 225, 265);
        QTest::newRow("Command3 in Frame1") << "Command3" << QRect(16, 128, 81, 33);
        QTest::newRow("Check3 in Frame1") << "Check3" << QRect(208, 152, 17, 17);
        QTest::newRow("Label3 in Frame1") << "Label3" << QRect(232, 152, 57, 17);
        QTest::newRow("Command4 in Frame5") << "Command4" << QRect(16, 80, 81, 33);
        QTest::newRow("Label12 in Frame3") << "Label12" << QRect(224, 48, 57, 17);
    }
    void positions() {
        QFETCH(QString, control);
        QFETCH(QRect, pixels);
        Console console(false);
        QCOMPARE(child<QWidget>(console.bilet, control).geometry(), pixels);
    }

    void fontButtonsOpenTheFontWindow_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("element");
        QTest::newRow("Command3") << "Command3" << "kurum ismi";
        QTest::newRow("Command4") << "Command4" << "buton ismi";
        QTest::newRow("Command5") << "Command5" << "bilet numarasi";
        QTest::newRow("Command6") << "Command6" << "tarih saat";
    }
    void fontButtonsOpenTheFontWindow() {
        QFETCH(QString, button);
        QFETCH(QString, element);
        Console console(false);
        press(console.bilet, button);
        QVERIFY(!console.bilet.isVisible());
        QVERIFY(console.windows.fontAyarla().isVisible());
        QCOMPARE(console.bilet.aktif_font, element);
    }

    // Everything typed, ticked and chosen is still there after a visit to
    // the main window and one to the font window.
    void navigationKeepsState() {
        Console console(false);
        BiletAyarlama& bilet = console.bilet;
        bilet.Text1(2)->setText(QStringLiteral("ŞUBE 3"));
        bilet.Check1(2)->setChecked(true);
        bilet.Text1(7)->setText(QStringLiteral("VEZNE"));
        child<QLineEdit>(bilet, "Text5").setText(QStringLiteral("131"));
        child<QCheckBox>(bilet, "Check7").setChecked(true);
        press(bilet, "Command5");
        vela::Font_Ayarla& font = console.windows.fontAyarla();
        child<QRadioButton>(font, "Font_A_B_1").setChecked(true);
        press(font, "Command3");
        press(font, "Command1");
        QVERIFY(bilet.isVisible() && !font.isVisible());

        vela::AnaMenu& anaMenu = console.windows.anaMenu();
        press(bilet, "Command1");
        QVERIFY(anaMenu.isVisible() && !bilet.isVisible());
        press(anaMenu, "Command29");
        QVERIFY(bilet.isVisible() && !anaMenu.isVisible());

        QCOMPARE(bilet.Text1(2)->text(), QStringLiteral("ŞUBE 3"));
        QVERIFY(bilet.Check1(2)->isChecked());
        QVERIFY(!bilet.Check1(7)->isChecked());
        QCOMPARE(bilet.Text1(7)->text(), QStringLiteral("VEZNE"));
        QCOMPARE(child<QLineEdit>(bilet, "Text5").text(), QStringLiteral("131"));
        QVERIFY(child<QCheckBox>(bilet, "Check7").isChecked());
        QCOMPARE(bilet.font_bilet_numarasi_1, qint16(1));
        QCOMPARE(child<QLabel>(bilet, "Label7").text(), QStringLiteral("27, 33,  1"));
        QCOMPARE(child<QLabel>(bilet, "Label8").text(), QStringLiteral("29, 33,  0"));
        QCOMPARE(bilet.aktif_font, QStringLiteral("bilet numarasi"));
        QVERIFY(console.feedback.messages.isEmpty());
    }

    void closingEndsTheProgram() {
        Console console(false);
        console.bilet.close();
        QCOMPARE(console.feedback.ends, 1);
    }

    void preview_data() {
        QTest::addColumn<TicketLayout>("layout");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("heading");

        QTest::newRow("nothing ticked") << TicketLayout{} << "\n" << "";
        TicketLayout example = line(0, "ABC");
        example.button[0] = {true, "XY"};
        QTest::newRow("three and two letters") << example << "ABC\n\nXY\n" << "ABC";
        const std::string thirty = "İSTANBUL BÜYÜKŞEHİR BELEDİYESİ";
        QTest::newRow("30 characters in full")
            << line(1, thirty) << QString::fromStdString(thirty + "\n\n") << QString::fromStdString(thirty);
        TicketLayout order;
        order.institution = {{{true, "A1"}, {false, "not shown"}, {true, ""}, {true, "A4"}}};
        order.button = {{{false, "hidden"}, {true, "B2"}}};
        order.fonts.fill(99);
        order.font_ticked.fill(true);
        QTest::newRow("only ticked lines, in order") << order << "A1\n\nA4\n\nB2\n" << "A1\n\nA4";
        QTest::newRow("button line only") << line(7, "VEZNE") << "\nVEZNE\n" << "";
    }
    void preview() {
        QFETCH(TicketLayout, layout);
        QFETCH(QString, text);
        QFETCH(QString, heading);
        Console console(false);
        enter(console.bilet, layout);
        press(console.bilet, "Command2");
        press(console.bilet, "Command2");  // a second press builds the same

        auto& box = child<QTextEdit>(console.bilet, "RichTextBox1");
        QCOMPARE(box.toPlainText(), text);
        // The heading is bold and centred; everything after it keeps the
        // base style.
        for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
            const bool inHeading = block.position() < heading.size();
            const QString where = QStringLiteral("block at %1").arg(block.position());
            QVERIFY2((block.blockFormat().alignment() == Qt::AlignHCenter) == inHeading, qPrintable(where));
            QTextCursor cursor(block);
            cursor.movePosition(QTextCursor::NextCharacter);
            if (!block.text().isEmpty())
                QVERIFY2((cursor.charFormat().fontWeight() == QFont::Bold) == inHeading, qPrintable(where));
        }
        QVERIFY(console.pty.readAll().empty());
        QVERIFY(console.feedback.messages.isEmpty());
    }

    void transfer_data() {
        QTest::addColumn<QString>("machine");
        QTest::addColumn<int>("m");
        QTest::addColumn<TicketLayout>("layout");
        QTest::addColumn<int>("frames");
        QTest::addColumn<Spots>("spots");

        QTest::newRow("every box cleared, empty machine field")
            << "" << 0 << TicketLayout{} << 96
            << Spots{{0, {170, 31, 0, 0, 0, 0, 201}}, {63, {170, 31, 3, 15, 0, 0, 219}},
                     {64, {170, 32, 0, 0, 0, 0, 202}}, {95, {170, 32, 1, 15, 0, 0, 218}}};
        QTest::newRow("'A' for machine 129")
            << "129" << 129 << line(0, "A") << 96
            << Spots{{0, {170, 31, 0, 0, 0, 129, 74}}, {1, {170, 31, 0, 1, 65, 129, 140}},
                     {2, {170, 31, 0, 2, 0, 129, 76}}, {14, {170, 31, 0, 14, 0, 129, 88}},
                     {15, {170, 31, 0, 15, 10, 129, 99}}, {16, {170, 31, 1, 0, 0, 129, 75}}};
        QTest::newRow("20 characters cut to 14")
            << " 1 30" << 130 << line(1, "ABCDEFGHIJKLMNOPQRST") << 96
            << Spots{{17, {170, 31, 1, 1, 65, 130, 142}}, {30, {170, 31, 1, 14, 78, 130, 168}},
                     {31, {170, 31, 1, 15, 10, 130, 101}}};
        QTest::newRow("ticked empty line")
            << "129" << 129 << line(2, "") << 96
            << Spots{{32, {170, 31, 2, 0, 0, 129, 76}}, {46, {170, 31, 2, 14, 0, 129, 90}},
                     {47, {170, 31, 2, 15, 10, 129, 101}}};
        QTest::newRow("Turkish letters and the euro sign")
            << "129" << 129 << line(7, "İŞğ€") << 96
            << Spots{{81, {170, 32, 1, 1, 221, 129, 42}}, {82, {170, 32, 1, 2, 222, 129, 44}},
                     {83, {170, 32, 1, 3, 240, 129, 63}}, {84, {170, 32, 1, 4, 128, 129, 208}},
                     {95, {170, 32, 1, 15, 10, 129, 101}}};

        TicketLayout someFonts;
        someFonts.fonts = {185, 17, 8, 0, 0, 0, 0, 119};
        someFonts.font_ticked = {false, true, true, false, false, false, false, true};
        QTest::newRow("font frames only where ticked")
            << "129" << 129 << someFonts << 99
            << Spots{{64, {170, 30, 2, 17, 0, 129, 92}}, {65, {170, 32, 0, 0, 0, 129, 75}},
                     {97, {170, 30, 3, 8, 0, 129, 84}}, {98, {170, 30, 8, 119, 0, 129, 200}}};
        TicketLayout allFonts = line(6, "B");
        allFonts.fonts = {8, 2, 3, 4, 5, 6, 7, 0};
        allFonts.font_ticked.fill(true);
        QTest::newRow("every font in slot order")
            << "129" << 129 << allFonts << 104
            << Spots{{64, {170, 30, 1, 8, 0, 129, 82}}, {65, {170, 30, 2, 2, 0, 129, 77}},
                     {67, {170, 32, 0, 1, 66, 129, 142}}, {98, {170, 30, 3, 3, 0, 129, 79}},
                     {103, {170, 30, 8, 0, 0, 129, 81}}};
    }
    void transfer() {
        QFETCH(QString, machine);
        QFETCH(int, m);
        QFETCH(TicketLayout, layout);
        QFETCH(int, frames);
        QFETCH(Spots, spots);
        Console console;
        enter(console.bilet, layout);
        child<QLineEdit>(console.bilet, "Text5").setText(machine);

        QElapsedTimer clock;
        clock.start();
        press(console.bilet, "BiletBilgisiGönder");
        // 1 ms after every character frame at least.
        QVERIFY(clock.elapsed() >= 96);

        const std::vector<Frame> sent = console.received(static_cast<std::size_t>(frames));
        QCOMPARE(sent.size(), std::size_t(frames));
        const auto expected = vela::ticket_transfer(static_cast<vela::Byte>(m), layout);
        QVERIFY(expected.ok());
        QCOMPARE(text(sent), text(*expected));
        for (const Spot& spot : spots) QCOMPARE(text(sent[spot.index]), text(spot.frame));
        QVERIFY(console.pty.readAll().empty());
        QVERIFY(console.feedback.messages.isEmpty());
    }

    // Font values chosen in the font window go out in their slots.
    void transferCarriesChosenFonts() {
        Console console;
        BiletAyarlama& bilet = console.bilet;
        child<QLineEdit>(bilet, "Text5").setText(QStringLiteral("129"));
        press(bilet, "Command4");
        vela::Font_Ayarla& font = console.windows.fontAyarla();
        child<QCheckBox>(font, "Emphasized_Mode").setChecked(true);
        child<QRadioButton>(font, "Option1_1").setChecked(true);
        press(font, "Command3");
        press(font, "Command1");
        child<QCheckBox>(bilet, "Check4").setChecked(true);
        child<QCheckBox>(bilet, "Check5").setChecked(true);
        press(bilet, "BiletBilgisiGönder");

        const std::vector<Frame> sent = console.received(98);
        QCOMPARE(sent.size(), std::size_t(98));
        QCOMPARE(text(sent[96]), QStringLiteral("170 30 3 8 0 129 84"));
        QCOMPARE(text(sent[97]), QStringLiteral("170 30 4 1 0 129 78"));
    }

    // The transfer goes out quietly: the main window still shows the last
    // frame it sent itself.
    void sentBytesDisplayUntouched() {
        Console console;
        vela::AnaMenu& anaMenu = console.windows.anaMenu();
        const auto display = [&anaMenu] {
            QStringList shown;
            for (int i = 0; i < 7; ++i) shown << anaMenu.GonderilenLabel(i)->text();
            return shown;
        };
        const QStringList initial = display();
        anaMenu.Data_Gonder({{vela::Komut_Cercevesi(2, 44, 1, 0, 5), std::chrono::milliseconds(0)}});
        QCOMPARE(text(console.received(1)), QStringList{"170 2 44 1 0 5 222"});
        const QStringList shown = display();
        QVERIFY(shown != initial);

        press(anaMenu, "Command29");
        enter(console.bilet, line(0, "A"));
        child<QLineEdit>(console.bilet, "Text5").setText(QStringLiteral("129"));
        press(console.bilet, "BiletBilgisiGönder");
        QCOMPARE(console.received(96).size(), std::size_t(96));
        QCOMPARE(display(), shown);
    }

    // What can't be sent as the layout says is refused before the first byte.
    void refusals_data() {
        QTest::addColumn<QString>("machine");
        QTest::addColumn<TicketLayout>("layout");
        QTest::addColumn<QString>("message");
        const QString range = QStringLiteral("Bilet Makinesi No 0 ile 255 arasında olmalı!");
        QTest::newRow("machine 256") << "256" << line(0, "A") << range;
        QTest::newRow("machine -1") << "-1" << TicketLayout{} << range;
        QTest::newRow("machine beyond 16 bits") << "99999999999" << TicketLayout{} << range;
        QTest::newRow("machine 255.5 rounds to 256") << "255.5" << TicketLayout{} << range;
        QTest::newRow("no code in the last line") << "129" << line(7, "Bж") << "'ж' karakteri gönderilemez!";
        QTest::newRow("no code in a heading line") << "129" << line(3, "€ ж") << "'ж' karakteri gönderilemez!";
    }
    void refusals() {
        QFETCH(QString, machine);
        QFETCH(TicketLayout, layout);
        QFETCH(QString, message);
        Console console;
        enter(console.bilet, layout);
        child<QLineEdit>(console.bilet, "Text5").setText(machine);
        press(console.bilet, "BiletBilgisiGönder");
        QCOMPARE(console.feedback.messages, QStringList{message});
        QVERIFY(console.pty.readAll().empty());
    }

    // Characters that are not sent cannot stop the transfer.
    void unsentCharactersNeedNoCode_data() {
        QTest::addColumn<TicketLayout>("layout");
        TicketLayout cleared;
        cleared.institution[0] = {false, "ж"};
        QTest::newRow("cleared line") << cleared;
        QTest::newRow("past the 14th character") << line(6, "ABCDEFGHIJKLMNж");
    }
    void unsentCharactersNeedNoCode() {
        QFETCH(TicketLayout, layout);
        Console console;
        enter(console.bilet, layout);
        press(console.bilet, "BiletBilgisiGönder");
        QVERIFY(console.feedback.messages.isEmpty());
        QCOMPARE(console.received(96).size(), std::size_t(96));
    }

    // One message per click; a vanished device counts as closed afterwards.
    void portFailures_data() {
        QTest::addColumn<bool>("openPort");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("again");
        const QString notOpen = QString::fromUtf8(vela::kPortNotOpenMessage);
        QTest::newRow("never opened") << false << notOpen << notOpen;
        QTest::newRow("device vanished") << true << QString::fromUtf8(vela::kPortLostMessage) << notOpen;
    }
    void portFailures() {
        QFETCH(bool, openPort);
        QFETCH(QString, message);
        QFETCH(QString, again);
        Console console(openPort);
        if (openPort) console.pty.closeMaster();
        press(console.bilet, "BiletBilgisiGönder");
        QCOMPARE(console.feedback.messages, QStringList{message});
        press(console.bilet, "BiletBilgisiGönder");
        QCOMPARE(console.feedback.messages, (QStringList{message, again}));
        if (!openPort) QVERIFY(console.pty.readAll().empty());
    }
};

QTEST_MAIN(TestBiletAyarlama)
#include "tst_bilet_ayarlama.moc"
