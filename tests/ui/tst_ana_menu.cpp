// The main window on a real pseudo-terminal: each button's frame from the
// fields it reads, the fields it refuses, the text transfer, a port closed
// or pulled, and the monitor.
#include <QAccessible>
#include <atomic>
#include <thread>

#include "support/console.h"
#include "support/device_link.h"
#include "ui/dot_matrix_panel.h"
#include "ui/received_log.h"
#include "ui/wrapping_button.h"

using namespace vela::test;

namespace {

const QString kNotOpen = QStringLiteral("Com Port açık değil! Komut gönderilemedi.");
const QString kChimeOn = QStringLiteral("AA 1D 01 00 00 00 C8");
const QString kAdvance = QStringLiteral("AA 01 00 00 00 05 B0");
const QString kTicketRequest = QStringLiteral("AA 0E 00 00 02 82 3C");
const QString kIlerletme = QStringLiteral("El Terminalinden gelen İLERTLETME KOMUTU");

// Every numeric field, each value told apart, so that a wrong field shows.
const QStringList kAllFields = {"Text1=5",    "Text2=999", "Text3=700",  "Text4=300",  "Text5=130", "Text6=258",
                                "Text8=48",   "Text10=10", "Text11=65",  "Text12=3",   "Text13=4",  "Text14=201",
                                "Text15=6",   "Text16=7",  "Text17=200", "Text18=2",   "Text19=9",  "Text20=131",
                                "Text21=250", "Text22=11", "Text23=22",  "Text24=100", "Text25=30"};

struct PaintCount : QObject {
    explicit PaintCount(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override { return count += event->type() == QEvent::Paint, false; }
    std::atomic<int> count = 0;  // read by the writer thread
};

}  // namespace

class AnaMenuTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useConsoleStyle(); }

    void clicks_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("result");  // the frame, or the message of a refusal
        const auto row = [](const QString& name, const QStringList& fields, const QString& button,
                            const QString& result) { QTest::newRow(qPrintable(name)) << fields << button << result; };
        // Every button with every field filled in: the button, then its frame.
        const char* const everyButton[] = {
            "Command1 AA 55 AA 55 AA 05 AD",  "Command2 AA 02 E7 03 00 05 9B",  "Command4 AA 09 00 00 55 05 0D",
            "Command5 AA 08 BC 02 00 05 75",  "Command30 AA 1F 07 00 00 05 D5", "Command31 AA 04 00 00 00 05 B3",
            "Command32 AA 05 00 00 00 05 B4", "Command33 AA 06 00 00 00 05 B5", "Command35 AA 22 1E 02 00 05 F1",
            "Command9 AA 0F 02 01 04 82 42",  "Command6 AA 11 2C 01 C8 82 32",  "Command7 AA 12 00 00 55 82 93",
            "Command15 AA 17 41 0A 03 82 91", "Command3 AA 55 AA 55 AA 00 A8",  "Adres_Yukle AA 24 55 AA 55 83 A5",
            "Command26 AA 1B 06 01 00 C9 95", "Command21 AA 1B 06 00 00 C9 94", "Command27 AA 1C 06 01 00 C9 96",
            "Command25 AA 1C 06 02 00 C9 97", "Command24 AA 1C 06 03 00 C9 98", "Command23 AA 1C 06 04 00 C9 99",
            "Command22 AA 1C 06 05 00 C9 9A", "Command36 AA 22 09 00 00 C9 9E", "Command34 AA 1D 01 00 00 00 C8",
            "Command28 AA 1D 02 00 00 00 C9", "Command11 AA 15 01 00 00 30 F0", "Command12 AA 15 02 00 00 30 F1",
            "Command13 AA 15 03 00 00 30 F2", "Command10 AA 15 04 00 00 30 F3", "Command8 AA 15 05 00 00 30 F4",
            "Command41 AA 15 06 00 00 30 F5", "Command40 AA 15 07 00 00 30 F6", "Command43 AA 15 08 00 00 30 F7",
            "Command42 AA 15 09 00 00 30 F8", "Command16 AA 1A 01 00 00 30 F5", "Command17 AA 1A 02 00 00 30 F6",
            "Command18 AA 1A 03 00 00 30 F7", "Command19 AA 1A 04 00 00 30 F8", "Command20 AA 1A 05 00 00 30 F9",
            "Command37 AA 25 FA 00 00 30 F9", "Command38 AA 26 0B 16 00 30 21", "Command39 AA 27 64 00 00 30 65"};
        for (const QString entry : everyButton)
            row(entry.section(u' ', 0, 0), kAllFields, entry.section(u' ', 0, 0), entry.section(u' ', 1));
        // One field filled in, the others empty.
        row("digits then letters", {"Text1=12abc"}, "Command1", "AA 55 AA 55 AA 0C B4");
        row("Arabic-Indic digits are no number", {"Text16=٣٤"}, "Command30", "AA 1F 00 00 00 00 C9");
        row("word too large", {"Text2=65536"}, "Command2", "Gösterilecek Sayı 0 ile 65535 arasında olmalı!");
        row("byte too large", {"Text13=256"}, "Command9", "Kacinci Bilet 0 ile 255 arasında olmalı!");
        row("largest scroll time", {"Text18=255", "Text25=255"}, "Command35", "AA 22 FF FF 00 00 CA");
        row("minutes 256", {"Text18=256"}, "Command35", "Dakika 256'dan büyük olamaz!");
        row("seconds 256", {"Text25=256"}, "Command35", "Dakika 256'dan büyük olamaz!");
        row("read in order", {"Text1=300", "Text2=70000"}, "Command2", "El Terminal No 0 ile 255 arasında olmalı!");
        row("256 characters", {"Text9=" + QString(256, u'A')}, "Command14", "Metin 255 karakterden uzun olamaz!");
        row("text to a display", {"Text8= 5", "Text9=Aı"}, "Command14",
            "AA 15 05 00 00 05 C9 AA 14 00 00 41 05 04 AA 14 00 01 FD 05 C1 AA 15 04 00 00 05 C8 AA 29 00 02 00 05 DA");
        row("ID before text", {"Text8=-1", "Text9=Aā"}, "Command14", "ID No 0 ile 255 arasında olmalı!");
        row("no Windows-1254 code", {"Text9=Aā"}, "Command14", "'ā' karakteri gönderilemez!");
    }

    // Either the whole frames, the last shown in the sent-bytes display, or
    // one message with nothing on the line and the display as it was. The
    // button fits its caption, wrapped at blanks, and keeps it whole as its
    // text and accessible name; the text transfer's is disabled while it runs.
    void clicks() {
        QFETCH(QStringList, fields);
        QFETCH(QString, button);
        QFETCH(QString, result);
        const QList<int> bytes = result.startsWith(QStringLiteral("AA ")) ? hex(result) : QList<int>{};
        Console console;
        console.click(QStringLiteral("Command34"));
        console.set(fields);
        auto& target = child<vela::WrappingButton>(console.menu, button);
        QVERIFY(target.captionFits() && !target.text().contains(u'\n'));
        QCOMPARE(QAccessible::queryAccessibleInterface(&target)->text(QAccessible::Name), target.text());
        bool enabledWhileSent = true;  // seen once the frames are out, still inside the click
        connect(&child<vela::DotMatrixPanel>(console.menu, "Frame3"), &vela::DotMatrixPanel::send, this,
                [&] { enabledWhileSent = target.isEnabled(); });
        console.click(button);
        QVERIFY(target.isEnabled() && (!enabledWhileSent || button != "Command14" || bytes.isEmpty()));
        QCOMPARE(asInts(console.pty.readAll()), hex(kChimeOn) + bytes);
        QCOMPARE(console.feedback.messages, bytes.isEmpty() ? QStringList{result} : QStringList{});
        QCOMPARE(console.shown(&vela::AnaMenu::GonderilenLabel),
                 shownBytes(bytes.isEmpty() ? hex(kChimeOn) : bytes.last(7)));
    }

    void portGone_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("framesBeforePull");  // -1: never opened
        QTest::newRow("never opened, a transfer of several frames") << "Command14" << -1;
        QTest::newRow("dot-matrix text, among the characters") << "Command14" << 6;
        QTest::newRow("ticket, among the institution name") << "BiletBilgisiGönder" << 10;
    }

    // Whole frames up to the pull and one message a click: the pull told
    // once, later sends of either window find the port closed.
    void portGone() {
        QFETCH(QString, button);
        QFETCH(int, framesBeforePull);
        Console console(Console::Port::Closed);
        DeviceLink link;
        QVERIFY(framesBeforePull < 0 || (link.pointAt(console.pty.slavePath()) && console.open(link.path())));
        console.set({QStringLiteral("Text8=3"), QStringLiteral("Text9=ABCDEFGHIJKLMNOPQRST")});
        QWidget& window = button.startsWith(u'B') ? console.bilet : static_cast<QWidget&>(console.menu);
        std::vector<std::uint8_t> before;
        std::thread puller([&] {
            before = console.pty.read(std::size_t(std::max(framesBeforePull, 0)) * 7, std::chrono::seconds(5));
            console.pty.closeMaster();
            link.pointNowhere();
        });
        press(window, button);
        puller.join();
        QCOMPARE(int(before.size()), std::max(framesBeforePull, 0) * 7);
        press(window, button);
        press(console.bilet, QStringLiteral("BiletBilgisiGönder"));
        console.click(QStringLiteral("Command34"));
        const QString first = framesBeforePull < 0 ? kNotOpen : "Com Port bağlantısı koptu! Komut gönderilemedi.";
        QCOMPARE(console.feedback.messages, (QStringList{first, kNotOpen, kNotOpen, kNotOpen}));
        QVERIFY(child<QPushButton>(console.menu, "Command14").isEnabled());
    }

    void receives_data() {
        QTest::addColumn<QStringList>("deliveries");
        QTest::addColumn<int>("beeps");  // one a byte, two more a valid frame
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("sentence");
        const auto row = [](const char* name, const QStringList& deliveries, int beeps, const QString& shown,
                            const QString& sentence) {
            QTest::newRow(name) << deliveries << beeps << shown << sentence;
        };
        row("byte by byte", kAdvance.split(u' '), 9, kAdvance, kIlerletme);
        row("split across deliveries", {"AA 03 09", "09 09 05 CD"}, 9, "AA 03 09 09 09 05 CD",
            "El Terminalinden gelen SAYI TEKRARLATMA KOMUTU");
        row("valid, no sentence", {"AA 01 00 00 01 05 B1"}, 9, "AA 01 00 00 01 05 B1", "");
        row("wrong checksum", {"AA 01 00 00 00 05 B1"}, 7, "", "");
        row("a second frame clears the sentence", {kAdvance + " AA 02 00 00 00 05 B1"}, 18, "AA 02 00 00 00 05 B1", "");
        row("noise and stray start bytes between frames", {"01 AA AA " + kAdvance + " 09 AA " + kTicketRequest}, 23,
            kTicketRequest, "Bilet Makinesinden gelen BİLET TALEP KOMUTU");
    }

    // Each delivery is handled before the next is written; one of several
    // bytes must reach the monitor as one notification, every byte handled.
    void receives() {
        QFETCH(QStringList, deliveries);
        QFETCH(int, beeps);
        QFETCH(QString, shown);
        QFETCH(QString, sentence);
        Console console;
        qsizetype largest = 0;
        connect(&console.menu.MSComm1, &vela::SerialPort::onComm, this,
                [&](int, const QByteArray& input) { largest = std::max(largest, input.size()); });
        int written = 0;
        for (const QString& delivery : deliveries) {
            const QList<int> bytes = hex(delivery);
            QVERIFY(console.pty.write({bytes.begin(), bytes.end()}));
            written += int(bytes.size());
            QTRY_VERIFY(console.feedback.beeps >= written);
        }
        if (deliveries.size() == 1) QVERIFY2(largest > 1, "the bytes came one by one: nothing more than byte by byte");
        QCOMPARE(console.feedback.beeps, beeps);
        const QStringList logged = QStringList{"Text7"} + shownBytes(hex(deliveries.join(u' ')));
        QTRY_COMPARE(console.menu.Text7()->text(), logged.join(u' '));
        QTRY_COMPARE(console.shown(&vela::AnaMenu::GelenLabel),
                     shown.isEmpty() ? QStringList(7, QString()) : shownBytes(hex(shown)));
        QCOMPARE(console.menu.GelenKomutLabel()->text(), sentence);
    }

    // 2 s of frames back to back at 19,200 baud, each with its own DATA3: the
    // labels are painted at most 22 times (ten a second, the first at once,
    // the last once the line is quiet) and end on the last frame, every byte logged.
    void busyLineRefreshedAtReadingPace() {
        Console console;
        const PaintCount paints(console.menu.GelenLabel(2));
        std::vector<std::uint8_t> stream;
        QStringList log{"Text7"};
        for (int n = 0; n < 526; ++n) {  // 3,682 bytes, 1.92 s
            const int data3 = n % 170;   // no 170 but each frame's first byte
            const QList<int> frame{170, 3, data3, 0, 0, 5, (178 + data3) % 256};
            stream.insert(stream.end(), frame.begin(), frame.end());
            log << shownBytes(frame);
        }
        int paintsWhileWriting = -1;
        std::thread writer([&] {
            const auto start = std::chrono::steady_clock::now();
            for (std::size_t i = 0; i < stream.size(); i += 7) {
                std::this_thread::sleep_until(start + std::chrono::microseconds(3646 * i / 7));
                console.pty.write({stream.begin() + long(i), stream.begin() + long(i) + 7});
            }
            paintsWhileWriting = paints.count;
        });
        QTRY_COMPARE_WITH_TIMEOUT(console.feedback.beeps, 526 * 9, 20000);
        writer.join();
        QTRY_COMPARE(console.shown(&vela::AnaMenu::GelenLabel), shownBytes({170, 3, 15, 0, 0, 5, 193}));
        QTRY_COMPARE(console.menu.Text7()->text(), log.join(u' '));
        QVERIFY2(paintsWhileWriting >= 2, "the display waited for the line to go quiet");
        QVERIFY2(paints.count <= 22, qPrintable(QString::number(paints.count)));
    }

    void frameAfterQuietLineShownAtOnce_data() {
        QTest::addColumn<QString>("before");  // bytes, then a quiet line
        QTest::newRow("first bytes of the run") << QString();
        QTest::newRow("after a burst") << kTicketRequest + " 01 02 03";
    }
    // Shown by the delivery that brings the frame, before the window's next event.
    void frameAfterQuietLineShownAtOnce() {
        QFETCH(QString, before);
        Console console;
        QList<int> bytes = hex(before);
        QVERIFY(console.pty.write({bytes.begin(), bytes.end()}));
        QTRY_COMPARE(console.feedback.beeps, int(bytes.size()) + (bytes.size() > 7 ? 2 : 0));
        QTest::qWait(2 * vela::ReceivedDisplay::kQuietLine.count());
        QStringList shownAtDelivery;
        connect(&console.menu.MSComm1, &vela::SerialPort::onComm, this,
                [&] { shownAtDelivery = console.shown(&vela::AnaMenu::GelenLabel); });
        bytes = hex(kAdvance);
        QVERIFY(console.pty.write({bytes.begin(), bytes.end()}));
        QTRY_VERIFY(!shownAtDelivery.isEmpty());
        QCOMPARE(shownAtDelivery, shownBytes(bytes));
        QCOMPARE(console.menu.GelenKomutLabel()->text(), kIlerletme);
    }
};

QTEST_MAIN(AnaMenuTest)
#include "tst_ana_menu.moc"
