// Faults on the line and in the fields, against the whole console on a real
// pseudo-terminal: the device pulled in the middle of a transfer, a flood of
// bytes while a click handler sleeps, and every numeric field of every panel
// given text that is not a plain number.
#include <poll.h>

#include <QLineEdit>
#include <QTest>
#include <atomic>
#include <functional>
#include <random>
#include <thread>

#include "protocol/commands.h"
#include "protocol/field_value.h"
#include "protocol/monitor.h"
#include "protocol/ticket.h"
#include "tst_ana_menu_harness.h"
#include "ui/bilet_ayarlama.h"
#include "ui/dot_matrix_panel.h"
#include "ui/received_log.h"

using namespace std::chrono_literals;
using namespace vela::test;
using vela::Byte;
using vela::Frame;
using vela::Sequence;

namespace {

const QString kLost = QString::fromUtf8(vela::kPortLostMessage);
const QString kNotOpen = QString::fromUtf8(vela::kPortNotOpenMessage);
const QString kBiletGonder = QString::fromUtf8("BiletBilgisiGönder");

// The log's text for these bytes, as Text7 shows each one.
QString logged(const std::vector<std::uint8_t>& bytes, std::size_t from) {
    QString text;
    for (std::size_t i = from; i < bytes.size(); ++i) text += QStringLiteral("  %1").arg(bytes[i]);
    return text;
}

QList<int> flatten(const Sequence& frames) {
    QList<int> bytes;
    for (const vela::Step& step : frames) bytes += QList<int>(step.frame.begin(), step.frame.end());
    return bytes;
}

// Writes everything into the master, waiting as long as the reading side
// needs: the console may be asleep in a click handler for a while.
void writeAll(int master, const std::vector<std::uint8_t>& bytes, std::atomic<std::size_t>& written) {
    while (written < bytes.size()) {
        const ssize_t n = ::write(master, bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        pollfd p{master, POLLOUT, 0};
        if (::poll(&p, 1, 30000) <= 0) return;
    }
}

// A numeric field, the caption its refusals name, one button that reads it,
// and the frames that button sends when the field holds a value and every
// other field is empty.
enum class Range { Byte, Word, ScrollTime };
struct FieldCase {
    const char* window;  // "AnaMenu" or "BiletAyarlama"
    const char* field;
    const char* caption;
    const char* button;
    Range range;
    std::function<Sequence(Byte byte, std::uint16_t word)> frames;
};

Sequence one(const Frame& frame) { return Sequence{vela::Step{frame}}; }

const std::vector<FieldCase>& fieldCases() {
    using namespace vela;
    static const std::vector<FieldCase> cases = {
        {"AnaMenu", "Text1", "El Terminal No", "Command1", Range::Byte, [](Byte v, std::uint16_t) { return one(hand_terminal::reset(v)); }},
        {"AnaMenu", "Text2", "Gösterilecek Sayı", "Command2", Range::Word, [](Byte, std::uint16_t v) { return one(hand_terminal::show_number(0, v)); }},
        {"AnaMenu", "Text3", "Bekleyen Kişi Sayısı", "Command5", Range::Word, [](Byte, std::uint16_t v) { return one(hand_terminal::waiting_count(0, v)); }},
        {"AnaMenu", "Text16", "Flash Sayısı", "Command30", Range::Byte, [](Byte v, std::uint16_t) { return one(hand_terminal::flash_count(0, v)); }},
        {"AnaMenu", "Text18", "Dakika", "Command35", Range::ScrollTime, [](Byte v, std::uint16_t) { return one(hand_terminal::scroll_time(0, v, 0)); }},
        {"AnaMenu", "Text25", "Saniye", "Command35", Range::ScrollTime, [](Byte v, std::uint16_t) { return one(hand_terminal::scroll_time(0, 0, v)); }},
        {"AnaMenu", "Text5", "Bilet Makinesi No", "Command7", Range::Byte, [](Byte v, std::uint16_t) { return one(ticket_machine::no_ticket(v)); }},
        {"AnaMenu", "Text6", "Bilet Numarası", "Command9", Range::Word, [](Byte, std::uint16_t v) { return one(ticket_machine::first_ticket(0, v, 0)); }},
        {"AnaMenu", "Text13", "Kacinci Bilet", "Command9", Range::Byte, [](Byte v, std::uint16_t) { return one(ticket_machine::first_ticket(0, 0, v)); }},
        {"AnaMenu", "Text4", "Bekleyen Kişi Sayısı", "Command6", Range::Word, [](Byte, std::uint16_t v) { return one(ticket_machine::second_ticket(0, v, 0)); }},
        {"AnaMenu", "Text17", "Kaç tekrar bilet", "Command6", Range::Byte, [](Byte v, std::uint16_t) { return one(ticket_machine::second_ticket(0, 0, v)); }},
        {"AnaMenu", "Text11", "Data", "Command15", Range::Byte, [](Byte v, std::uint16_t) { return one(ticket_machine::load_ticket_data(0, v, 0, 0)); }},
        {"AnaMenu", "Text10", "Adres", "Command15", Range::Byte, [](Byte v, std::uint16_t) { return one(ticket_machine::load_ticket_data(0, 0, v, 0)); }},
        {"AnaMenu", "Text12", "Bilet Sira no", "Command15", Range::Byte, [](Byte v, std::uint16_t) { return one(ticket_machine::load_ticket_data(0, 0, 0, v)); }},
        {"AnaMenu", "Text20", "Adres", "Adres_Yukle", Range::Byte, [](Byte v, std::uint16_t) { return one(general::load_address(v)); }},
        {"AnaMenu", "Text14", "ID No", "Command26", Range::Byte, [](Byte v, std::uint16_t) { return one(main_board::ku_enable(v, 0)); }},
        {"AnaMenu", "Text15", "KU No", "Command23", Range::Byte, [](Byte v, std::uint16_t) { return one(main_board::arrow(0, v, Arrow::Left)); }},
        {"AnaMenu", "Text19", "Süre", "Command36", Range::Byte, [](Byte v, std::uint16_t) { return one(main_board::scroll_delay(0, v)); }},
        {"AnaMenu", "Text8", "ID No", "Command11", Range::Byte, [](Byte v, std::uint16_t) { return one(dot_matrix::mode(v, dot_matrix::Mode::FlashOnChimeOn)); }},
        {"AnaMenu", "Text8", "ID No", "Command14", Range::Byte, [](Byte v, std::uint16_t) { return *dot_matrix::text_transfer(v, ""); }},
        {"AnaMenu", "Text21", "Buffer Uzunluğu", "Command37", Range::Byte, [](Byte v, std::uint16_t) { return one(dot_matrix::buffer_length(0, v)); }},
        {"AnaMenu", "Text22", "Frekans sabit", "Command38", Range::Byte, [](Byte v, std::uint16_t) { return one(dot_matrix::frequencies(0, v, 0)); }},
        {"AnaMenu", "Text23", "Frekans kayan", "Command38", Range::Byte, [](Byte v, std::uint16_t) { return one(dot_matrix::frequencies(0, 0, v)); }},
        {"AnaMenu", "Text24", "Parlaklık", "Command39", Range::Byte, [](Byte v, std::uint16_t) { return one(dot_matrix::brightness(0, v)); }},
        {"BiletAyarlama", "Text5", "Bilet Makinesi No", "BiletBilgisiGönder", Range::Byte,
         [](Byte v, std::uint16_t) { return *ticket_transfer(v, TicketLayout{}); }},
    };
    return cases;
}

}  // namespace

class LineFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useConsoleStyle(); }

    void pulledDuringTransfer_data() {
        QTest::addColumn<bool>("ticket");
        QTest::addColumn<int>("framesBeforePull");
        QTest::newRow("dot-matrix text, after the display-off frame") << false << 1;
        QTest::newRow("dot-matrix text, among the characters") << false << 6;
        QTest::newRow("ticket, among the institution name") << true << 10;
    }

    // One message for the transfer that broke off, the program goes on, and
    // later sends of either window find the port closed.
    void pulledDuringTransfer() {
        QFETCH(bool, ticket);
        QFETCH(int, framesBeforePull);

        Console console(Console::Port::Closed);
        DeviceLink link;
        QVERIFY(console.openThrough(link));
        vela::BiletAyarlama& bilet = console.windows.biletAyarlama();
        bilet.findChild<QLineEdit*>(QStringLiteral("Text5"))->setText(QStringLiteral("130"));
        QVERIFY(console.typeAll({QStringLiteral("Text8=3"), QStringLiteral("Text9=ABCDEFGHIJKLMNOPQRST")}));
        const auto start = [&] {
            if (ticket) return bilet.findChild<QPushButton*>(kBiletGonder)->click(), true;
            return console.click(QStringLiteral("Command14"));
        };

        std::vector<std::uint8_t> before;
        std::thread puller([&] {
            before = console.pty.read(static_cast<std::size_t>(framesBeforePull) * 7, 5000ms);
            console.pty.closeMaster();
            link.pointNowhere();
        });
        QVERIFY(start());
        puller.join();

        QCOMPARE(before.size(), static_cast<std::size_t>(framesBeforePull) * 7);
        QCOMPARE(console.feedback.messages, QStringList{kLost});
        QVERIFY(!console.menu.MSComm1.isOpen());
        QVERIFY(console.find<QPushButton>(QStringLiteral("Command14"))->isEnabled());

        QVERIFY(start());
        bilet.findChild<QPushButton*>(kBiletGonder)->click();
        QVERIFY(console.click(QStringLiteral("Command34")));
        QCOMPARE(console.feedback.messages, (QStringList{kLost, kNotOpen, kNotOpen, kNotOpen}));
    }

    // 100,000 bytes, random with frames mixed in, pour in while a text transfer
    // holds the thread; afterwards each is beeped, logged and slid through the
    // window in the order it came.
    void floodWhileHandlerSleeps() {
        Console console;
        QVERIFY(console.opened);

        std::mt19937 random(7);
        std::uniform_int_distribution<int> anyByte(0, 255);
        std::vector<std::uint8_t> flood;
        while (flood.size() < 100000) {
            if (random() % 40 == 0) {
                const Frame frame = vela::Komut_Cercevesi(static_cast<Byte>(anyByte(random)), 0, 0, 0,
                                                          static_cast<Byte>(anyByte(random)));
                flood.insert(flood.end(), frame.begin(), frame.end());
            } else {
                flood.push_back(static_cast<std::uint8_t>(anyByte(random)));
            }
        }
        flood.resize(100000);
        vela::ReceiveWindow window;
        int frames = 0;
        Frame last{};
        for (std::uint8_t b : flood) {
            if (const auto frame = window.push(b)) {
                ++frames;
                last = *frame;
            }
        }
        QVERIFY(frames > 2000);

        // Seen from inside the click, once the transfer's frames are out.
        qsizetype logAtEnd = -1;
        std::size_t writtenAtEnd = 0;
        std::atomic<std::size_t> written = 0;
        connect(console.find<vela::DotMatrixPanel>(QStringLiteral("Frame3")), &vela::DotMatrixPanel::send, this, [&] {
            logAtEnd = console.menu.Text7()->text().size();
            writtenAtEnd = written;
        });
        QVERIFY(console.typeAll({QStringLiteral("Text8=1"), QStringLiteral("Text9=0123456789012345678901234567890123456789")}));

        std::thread writer([&] { writeAll(console.pty.masterFd(), flood, written); });
        while (written == 0) std::this_thread::yield();
        QVERIFY(console.click(QStringLiteral("Command14")));

        QCOMPARE(logAtEnd, QStringLiteral("Text7").size());
        QVERIFY(writtenAtEnd > 0);
        QTRY_COMPARE_WITH_TIMEOUT(console.feedback.beeps, 100000 + 2 * frames, 60000);
        writer.join();
        QCOMPARE(written.load(), flood.size());

        const QString& log = console.menu.Text7()->text();
        QTRY_VERIFY(log.size() <= vela::ReceivedLog::kKeptCharacters);  // trimmed when laid out
        QVERIFY(log.endsWith(logged(flood, flood.size() - 5000)));
        QCOMPARE(console.receivedDisplay(), shownBytes(QList<int>(last.begin(), last.end())));
        QCOMPARE(console.menu.GelenKomutLabel()->text(), QString::fromUtf8(vela::decoded_sentence(last)));
        QCOMPARE(console.feedback.messages, QStringList{});
        QCOMPARE(console.pty.readAll().size(), std::size_t(43 * 7));
    }

    void numericFields_data() {
        QTest::addColumn<int>("fieldCase");
        QTest::addColumn<QString>("text");
        const std::pair<const char*, QString> texts[] = {
            {"empty", QString()},
            {"12abc", QStringLiteral("12abc")},
            {"negative", QStringLiteral("-5")},
            {"256", QStringLiteral("256")},
            {"65536", QStringLiteral("65536")},
            {"Arabic-Indic digits", QString::fromUtf8("٣٤")},
        };
        const std::vector<FieldCase>& cases = fieldCases();
        for (std::size_t i = 0; i < cases.size(); ++i) {
            for (const auto& [name, text] : texts) {
                QTest::addRow("%s %s %s: %s", cases[i].window, cases[i].field, cases[i].button, name)
                    << int(i) << text;
            }
        }
    }

    // Either the frames the protocol gives for the field's value, whole, or one
    // refusal naming the field and nothing on the line; never a part of a frame.
    void numericFields() {
        QFETCH(int, fieldCase);
        QFETCH(QString, text);
        const FieldCase& c = fieldCases()[static_cast<std::size_t>(fieldCase)];

        Console console;
        QVERIFY(console.opened);
        QVERIFY(console.sendGlobalReset());
        const QStringList sentBefore = console.sentDisplay();
        QWidget& window = QLatin1String(c.window) == QLatin1String("AnaMenu")
                              ? static_cast<QWidget&>(console.menu)
                              : static_cast<QWidget&>(console.windows.biletAyarlama());
        auto* field = window.findChild<QLineEdit*>(QString::fromLatin1(c.field));
        auto* button = window.findChild<QPushButton*>(QString::fromUtf8(c.button));
        QVERIFY(field && button);
        field->setText(text);
        button->click();

        const std::int64_t value = *vela::field_value(text.toStdString());
        const std::int64_t maximum = c.range == Range::Word ? 65535 : 255;
        if (value >= 0 && value <= maximum) {
            const QList<int> bytes = flatten(c.frames(static_cast<Byte>(value), static_cast<std::uint16_t>(value)));
            QCOMPARE(console.feedback.messages, QStringList{});
            QCOMPARE(asInts(console.pty.read(static_cast<std::size_t>(bytes.size()))), bytes);
        } else {
            const QString message = c.range == Range::ScrollTime && value > maximum
                                        ? QStringLiteral("Dakika 256'dan büyük olamaz!")
                                        : QString::fromUtf8(c.caption) + QStringLiteral(" 0 ile %1 arasında olmalı!").arg(maximum);
            QCOMPARE(console.feedback.messages, QStringList{message});
            QCOMPARE(console.sentDisplay(), sentBefore);
        }
        QCOMPARE(asInts(console.pty.readAll(50ms)), QList<int>{});
    }
};

QTEST_MAIN(LineFaultsTest)
#include "tst_line_faults.moc"
