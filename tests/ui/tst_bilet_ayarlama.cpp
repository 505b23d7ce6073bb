// The ticket settings window: navigation, print preview and the transfer of
// the ticket layout on a real pseudo-terminal. tests/protocol/tst_ticket.cpp
// checks the bytes; here the controls must reach ticket_transfer and the line.
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

#include "protocol/ticket.h"
#include "support/feedback_recorder.h"
#include "support/pty.h"
#include "ui/ana_menu.h"
#include "ui/bilet_ayarlama.h"
#include "support/controls.h"
#include "ui/console_style.h"
#include "ui/font_ayarla.h"
#include "ui/transmitter.h"
#include "ui/windows.h"

using vela::BiletAyarlama;
using vela::TicketLayout;
Q_DECLARE_METATYPE(TicketLayout)

using vela::test::child;
using vela::test::press;

namespace {

// The eight font members in slot order.
std::array<qint16*, 8> fontMembers(BiletAyarlama& b) {
    return {&b.font_kurum_ismi_1,     &b.font_kurum_ismi_2,     &b.font_buton_ismi_1, &b.font_buton_ismi_2,
            &b.font_bilet_numarasi_1, &b.font_bilet_numarasi_2, &b.font_tarih_saat_1, &b.font_tarih_saat_2};
}

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
        bilet.show();
        feedback.clear();
    }

    QByteArray received(std::size_t frames) {
        const std::vector<std::uint8_t> bytes = pty.read(frames * 7);
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }

    // Puts a layout and the machine number into the window as the technician
    // would type and tick them.
    void enter(const TicketLayout& layout, const QString& machine = {}) {
        for (int k = 0; k < 6; ++k) {
            const int control = k < 4 ? k : k + 2;
            const vela::TicketLine& line = k < 4 ? layout.institution[k] : layout.button[k - 4];
            bilet.Check1(control)->setChecked(line.ticked);
            bilet.Text1(control)->setText(QString::fromStdString(line.text));
        }
        for (int slot = 0; slot < 8; ++slot) {
            *fontMembers(bilet)[slot] = layout.fonts[slot];
            child<QCheckBox>(bilet, QStringLiteral("Check%1").arg(slot + 2)).setChecked(layout.font_ticked[slot]);
        }
        child<QLineEdit>(bilet, "Text5").setText(machine);
    }

    // Every line with its tick, the machine field, the font boxes, members and
    // labels.
    QStringList state() {
        QStringList all{child<QLineEdit>(bilet, "Text5").text()};
        for (int k : {0, 1, 2, 3, 6, 7}) all << bilet.Text1(k)->text() + (bilet.Check1(k)->isChecked() ? " 1" : " 0");
        for (int slot = 0; slot < 8; ++slot) {
            all << QString::number(*fontMembers(bilet)[slot])
                << QString::number(child<QCheckBox>(bilet, QStringLiteral("Check%1").arg(slot + 2)).isChecked());
        }
        for (const char* label : {"Label2", "Label3", "Label4", "Label5", "Label7", "Label8", "Label11", "Label12"})
            all << child<QLabel>(bilet, label).text();
        return all;
    }

    vela::test::Pty pty;
    vela::test::FeedbackRecorder feedback;
    vela::Windows windows;
    BiletAyarlama& bilet = windows.biletAyarlama();
};

TicketLayout line(int index, const std::string& text) {
    TicketLayout layout;
    if (index < 4)
        layout.institution[index] = {true, text};
    else
        layout.button[index - 6] = {true, text};
    return layout;
}

}  // namespace

class TestBiletAyarlama : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vela::applyConsoleStyle(*qobject_cast<QApplication*>(QCoreApplication::instance())); }

    void startsEmpty() {
        Console console(false);
        BiletAyarlama& bilet = console.bilet;
        QCOMPARE(bilet.windowTitle(), QStringLiteral("VELA TEST Ver 1.7 Bilet Ayarları"));
        QCOMPARE(bilet.size(), QSize(946, 674));
        for (int k : {0, 1, 2, 3, 6, 7}) QVERIFY(!bilet.Check1(k)->isChecked() && bilet.Text1(k)->text().isEmpty());
        QVERIFY(!bilet.Check1(4) && !bilet.Text1(5) && !bilet.Check1(8));
        for (const char* label : {"Label2", "Label3", "Label4", "Label5", "Label7", "Label8", "Label11", "Label12"})
            QCOMPARE(child<QLabel>(bilet, label).text(), QString::fromLatin1(label));
        QCOMPARE(child<QTextEdit>(bilet, "RichTextBox1").toPlainText(), QStringLiteral("RichTextBox1"));
        QVERIFY(bilet.aktif_font.isEmpty());
        for (qint16* member : fontMembers(bilet)) QCOMPARE(*member, qint16(0));
        bilet.close();  // by the title bar
        QCOMPARE(console.feedback.ends, 1);
    }

    // Everything typed, ticked and chosen is still there after a visit to
    // the font window and one to the main window.
    void navigationKeepsState() {
        Console console(false);
        BiletAyarlama& bilet = console.bilet;
        TicketLayout layout = line(2, "ŞUBE 3");
        layout.button[1] = {false, "VEZNE"};
        layout.font_ticked[5] = true;
        console.enter(layout, QStringLiteral("131"));
        press(bilet, "Command5");
        vela::Font_Ayarla& font = console.windows.fontAyarla();
        child<QRadioButton>(font, "Font_A_B_1").setChecked(true);
        press(font, "Command3");
        press(font, "Command1");
        QVERIFY(bilet.isVisible() && !font.isVisible());
        const QStringList before = console.state();
        QVERIFY(before.contains(QStringLiteral("ŞUBE 3 1")) && before.contains(QStringLiteral("VEZNE 0")));
        QVERIFY(before.contains(QStringLiteral("131")) && before.contains(QStringLiteral("27, 33,  1")));

        vela::AnaMenu& anaMenu = console.windows.anaMenu();
        press(bilet, "Command1");
        QVERIFY(anaMenu.isVisible() && !bilet.isVisible());
        press(anaMenu, "Command29");
        QVERIFY(bilet.isVisible() && !anaMenu.isVisible());
        QCOMPARE(console.state(), before);
        QCOMPARE(bilet.font_bilet_numarasi_1, qint16(1));
        QCOMPARE(bilet.aktif_font, QStringLiteral("bilet numarasi"));
        QVERIFY(console.feedback.messages.isEmpty());
    }

    void preview_data() {
        QTest::addColumn<TicketLayout>("layout");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("heading");
        TicketLayout order;
        order.institution = {
            {{true, "A1"}, {false, "not shown"}, {true, ""}, {true, "İSTANBUL BÜYÜKŞEHİR BELEDİYESİ"}}};
        order.button = {{{false, "hidden"}, {true, "B2"}}};
        QTest::newRow("only ticked lines, in order, in full") << order << "A1\n\nİSTANBUL BÜYÜKŞEHİR BELEDİYESİ\n\nB2\n"
                                                              << "A1\n\nİSTANBUL BÜYÜKŞEHİR BELEDİYESİ";
        QTest::newRow("button line only") << line(7, "VEZNE") << "\nVEZNE\n"
                                          << "";
    }
    void preview() {
        QFETCH(TicketLayout, layout);
        QFETCH(QString, text);
        QFETCH(QString, heading);
        Console console;
        console.enter(layout);
        press(console.bilet, "Command2");
        press(console.bilet, "Command2");  // a second press builds the same

        auto& box = child<QTextEdit>(console.bilet, "RichTextBox1");
        QCOMPARE(box.toPlainText(), text);
        // The heading is bold and centred; everything after it keeps the base
        // style.
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

    // The machine field as typed, the number it stands for, and the frames. The
    // transfer goes out quietly: the main window still shows its own last frame.
    void transfer_data() {
        QTest::addColumn<QString>("machine");
        QTest::addColumn<int>("m");
        QTest::addColumn<TicketLayout>("layout");
        QTest::addColumn<int>("frames");
        QTest::newRow("every box cleared, empty machine field") << "" << 0 << TicketLayout{} << 96;
        // Cut to 14; a character without a code is no obstacle where unsent.
        TicketLayout cut = line(1, "ABCDEFGHIJKLMNOPQRSTж");
        cut.institution[0] = {false, "ж"};
        cut.button[1] = {true, "İŞğ€"};
        QTest::newRow("cut to 14, Turkish letters, blanks in the number") << " 1 30" << 130 << cut << 96;
        TicketLayout someFonts;
        someFonts.fonts = {185, 17, 8, 0, 0, 0, 0, 119};
        someFonts.font_ticked = {false, true, true, false, false, false, false, true};
        QTest::newRow("font frames only where ticked") << "129" << 129 << someFonts << 99;
    }
    void transfer() {
        QFETCH(QString, machine);
        QFETCH(int, m);
        QFETCH(TicketLayout, layout);
        QFETCH(int, frames);
        Console console;
        vela::AnaMenu& anaMenu = console.windows.anaMenu();
        const auto display = [&anaMenu] {
            QStringList shown;
            for (int i = 0; i < 7; ++i) shown << anaMenu.GonderilenLabel(i)->text();
            return shown.join(QString());
        };
        anaMenu.Data_Gonder({{vela::Komut_Cercevesi(2, 44, 1, 0, 5), std::chrono::milliseconds(0)}}, QStringLiteral("Sayı Gönder"));
        QCOMPARE(console.received(1), QByteArray("\xAA\x02\x2C\x01\x00\x05\xDE", 7));
        QCOMPARE(display(), QStringLiteral(" 170 2 44 1 0 5 222"));

        console.enter(layout, machine);
        QElapsedTimer clock;
        clock.start();
        press(console.bilet, "BiletBilgisiGönder");
        QVERIFY(clock.elapsed() >= 96);  // 1 ms after every character frame at least

        const auto expected = vela::ticket_transfer(static_cast<vela::Byte>(m), layout);
        QVERIFY(expected.ok());
        QByteArray expectedBytes;
        for (const vela::Step& step : *expected)
            expectedBytes.append(reinterpret_cast<const char*>(step.frame.data()), 7);
        QCOMPARE(expectedBytes.size(), 7 * frames);
        QCOMPARE(console.received(std::size_t(frames)), expectedBytes);
        QVERIFY(console.pty.readAll().empty());
        QVERIFY(console.feedback.messages.isEmpty());
        QCOMPARE(display(), QStringLiteral(" 170 2 44 1 0 5 222"));
    }

    // Nothing the layout or the port can't carry goes out; one message a click,
    // and a device that vanished counts as closed on the next.
    void refusals_data() {
        QTest::addColumn<QString>("machine");
        QTest::addColumn<TicketLayout>("layout");
        QTest::addColumn<int>("port");  // 0 open, 1 never opened, 2 vanished
        QTest::addColumn<QStringList>("messages");
        const QString range = QStringLiteral("Bilet Makinesi No 0 ile 255 arasında olmalı!");
        const QString notOpen = QString::fromUtf8(vela::kPortNotOpenMessage);
        QTest::newRow("machine 256") << "256" << line(0, "A") << 0 << QStringList{range, range};
        QTest::newRow("machine -1") << "-1" << TicketLayout{} << 0 << QStringList{range, range};
        QTest::newRow("machine 255.5 rounds to 256") << "255.5" << TicketLayout{} << 0 << QStringList{range, range};
        const QString noCode = QStringLiteral("'ж' karakteri gönderilemez!");
        QTest::newRow("no code for a character") << "129" << line(3, "€ ж") << 0 << QStringList{noCode, noCode};
        QTest::newRow("never opened") << "129" << TicketLayout{} << 1 << QStringList{notOpen, notOpen};
        QTest::newRow("device vanished") << "129" << TicketLayout{} << 2
                                         << QStringList{QString::fromUtf8(vela::kPortLostMessage), notOpen};
    }
    void refusals() {
        QFETCH(QString, machine);
        QFETCH(TicketLayout, layout);
        QFETCH(int, port);
        QFETCH(QStringList, messages);
        Console console(port != 1);
        if (port == 2) console.pty.closeMaster();
        console.enter(layout, machine);
        press(console.bilet, "BiletBilgisiGönder");
        QCOMPARE(console.feedback.messages, messages.mid(0, 1));
        press(console.bilet, "BiletBilgisiGönder");
        QCOMPARE(console.feedback.messages, messages);
        if (port != 2) QVERIFY(console.pty.readAll().empty());
    }
};

QTEST_MAIN(TestBiletAyarlama)
#include "tst_bilet_ayarlama.moc"
