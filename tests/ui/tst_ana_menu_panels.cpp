// Every sending button of the main window: each field typed, the button
// clicked, the bytes read from the line and the sent-bytes display. The
// frames' bytes themselves are the protocol tests' concern; here each button
// must bring its own fields, and no other, to its frame.
#include <QTest>
#include <atomic>
#include <thread>

#include "protocol/commands.h"
#include "tst_ana_menu_harness.h"
#include "ui/dot_matrix_panel.h"

using namespace vela::test;
using namespace vela;
using std::chrono::milliseconds;

namespace {

// Every numeric field at once, each value told apart from the others a
// button reads, the word fields above 255.
const QStringList kFields = {"Text1=5",   "Text2=999", "Text3=700",  "Text4=300",  "Text5=130",  "Text6=258",
                             "Text8=48",  "Text10=10", "Text11=65",  "Text12=3",   "Text13=4",   "Text14=201",
                             "Text15=6",  "Text16=7",  "Text17=200", "Text18=2",   "Text19=9",   "Text20=131",
                             "Text21=250", "Text22=11", "Text23=22", "Text24=100", "Text25=30"};

// The pty hands written bytes to its master through a kernel work queue, and
// the reading thread stamps them when it wakes up: on a busy machine a frame
// can be stamped some milliseconds after it was written, which shortens the
// pause measured after it by as much. A missing or wrong pause is far larger.
constexpr int kLineLatencyMs = 10;

}  // namespace

class AnaMenuPanelsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useConsoleStyle(); }

    void sends_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QList<int>>("bytes");
        auto row = [](const char* button, const Frame& frame) {
            QTest::newRow(button) << QString::fromLatin1(button) << QList<int>(frame.begin(), frame.end());
        };
        row("Command1", hand_terminal::reset(5));
        row("Command2", hand_terminal::show_number(5, 999));
        row("Command4", hand_terminal::nobody_waiting(5));
        row("Command5", hand_terminal::waiting_count(5, 700));
        row("Command30", hand_terminal::flash_count(5, 7));
        row("Command31", hand_terminal::display_off(5));
        row("Command32", hand_terminal::display_dashes(5));
        row("Command33", hand_terminal::display_on(5));
        row("Command35", hand_terminal::scroll_time(5, 2, 30));
        row("Command9", ticket_machine::first_ticket(130, 258, 4));
        row("Command6", ticket_machine::second_ticket(130, 300, 200));
        row("Command7", ticket_machine::no_ticket(130));
        row("Command15", ticket_machine::load_ticket_data(130, 65, 10, 3));
        row("Command3", general::global_reset());
        row("Adres_Yukle", general::load_address(131));
        row("Command26", main_board::ku_enable(201, 6));
        row("Command21", main_board::ku_disable(201, 6));
        row("Command27", main_board::arrow(201, 6, Arrow::Up));
        row("Command25", main_board::arrow(201, 6, Arrow::Down));
        row("Command24", main_board::arrow(201, 6, Arrow::Right));
        row("Command23", main_board::arrow(201, 6, Arrow::Left));
        row("Command22", main_board::arrow(201, 6, Arrow::Off));
        row("Command36", main_board::scroll_delay(201, 9));
        row("Command34", chime::on());
        row("Command28", chime::off());
        const char* modes[] = {"Command11", "Command12", "Command13", "Command10", "Command8",
                               "Command41", "Command40", "Command43", "Command42"};
        for (int mode = 1; mode <= 9; ++mode) row(modes[mode - 1], dot_matrix::mode(48, dot_matrix::Mode(mode)));
        const char* arrows[] = {"Command16", "Command17", "Command18", "Command19", "Command20"};
        for (int arrow = 1; arrow <= 5; ++arrow) row(arrows[arrow - 1], dot_matrix::arrow(48, Arrow(arrow)));
        row("Command37", dot_matrix::buffer_length(48, 250));
        row("Command38", dot_matrix::frequencies(48, 11, 22));
        row("Command39", dot_matrix::brightness(48, 100));
    }

    void sends() {
        QFETCH(QString, button);
        QFETCH(QList<int>, bytes);

        Console console;
        QVERIFY(console.opened);
        QVERIFY(console.typeAll(kFields));
        QVERIFY(console.click(button));
        QCOMPARE(asInts(console.pty.read(7)), bytes);
        QCOMPARE(asInts(console.pty.readAll()), QList<int>{});
        QCOMPARE(console.sentDisplay(), shownBytes(bytes));
        QCOMPARE(console.feedback.messages, QStringList{});
    }

    // "Karakterleri Gönder": the frames in order, the pauses between them
    // measured on the line, and the button disabled meanwhile.
    void transfersText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("id");
        QTest::newRow("AB to 5") << QStringLiteral("AB") << QStringLiteral("5");
        QTest::newRow("Turkish ı, empty ID") << QStringLiteral("ı") << QString();
    }

    void transfersText() {
        QFETCH(QString, text);
        QFETCH(QString, id);
        const Sequence steps = *dot_matrix::text_transfer(Byte(id.toInt()), text.toStdString());

        Console console;
        QVERIFY(console.opened);
        QVERIFY(console.typeAll({"Text9=" + text, "Text8=" + id}));
        auto* button = console.find<QPushButton>(QStringLiteral("Command14"));
        // Connected after the main window's own connection: runs once the
        // frames have been handed to the port, still inside the click.
        bool enabledWhileSending = true;
        connect(console.find<DotMatrixPanel>(QStringLiteral("Frame3")), &DotMatrixPanel::send, this,
                [&] { enabledWhileSending = button->isEnabled(); });

        // The click holds this thread for the whole transfer: read on another,
        // waiting on the line before the first frame, or that frame is stamped
        // late and the first pause looks short.
        const std::size_t count = steps.size() * 7;
        std::vector<Pty::TimedByte> got;
        std::atomic<bool> reading = false;
        std::thread reader([&] {
            reading = true;
            got = console.pty.readTimed(count, milliseconds(5000));
        });
        while (!reading) std::this_thread::yield();
        std::this_thread::sleep_for(milliseconds(50));
        QVERIFY(console.click(QStringLiteral("Command14")));
        reader.join();

        QCOMPARE(got.size(), count);
        for (std::size_t f = 0; f < steps.size(); ++f) {
            for (std::size_t i = 0; i < 7; ++i) QCOMPARE(int(got[f * 7 + i].value), int(steps[f].frame[i]));
            if (f + 1 == steps.size()) break;
            const auto gap = std::chrono::duration_cast<milliseconds>(got[f * 7 + 7].at - got[f * 7 + 6].at);
            QVERIFY2(gap >= steps[f].pause_after - milliseconds(kLineLatencyMs),
                     qPrintable(QStringLiteral("gap %1: %2 ms").arg(f).arg(gap.count())));
        }
        QVERIFY(!enabledWhileSending);
        QVERIFY(button->isEnabled());
        QCOMPARE(console.sentDisplay(), shownBytes(QList<int>(steps.back().frame.begin(), steps.back().frame.end())));
        QCOMPARE(console.feedback.messages, QStringList{});
    }
};

QTEST_MAIN(AnaMenuPanelsTest)
#include "tst_ana_menu_panels.moc"
