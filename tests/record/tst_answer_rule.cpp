// The answer rule: which recognised frame answers which sent frame, and who an
// acknowledgement is from, over short scripted exchanges on a 500 ms window.
#include <QTest>

#include "record/answer_rule.h"

using namespace vela;
using std::chrono::milliseconds;

Q_DECLARE_METATYPE(Device)

namespace {

// "HT5@0" sends to hand terminal 5 at 0 ms; "DM", "TM" for a dot-matrix display
// and a ticket machine.
struct Send {
    Device device;
    Byte number;
    int at_ms;
};

Frame to(Byte number) { return {170, 2, 0, 0, 0, number, static_cast<Byte>(172 + number)}; }
Frame from(Byte code, Byte number) { return {170, code, 0, 0, 0, number, static_cast<Byte>(170 + code + number)}; }

}  // namespace

Q_DECLARE_METATYPE(std::vector<Send>)

class AnswerRuleTest : public QObject {
    Q_OBJECT
private slots:
    void answers_data() {
        QTest::addColumn<std::vector<Send>>("sends");
        QTest::addColumn<int>("code");  // of the received frame
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("at");
        QTest::addColumn<Device>("device");  // who it is taken to be from
        QTest::addColumn<int>("delay");      // -1: not an answer
        const Device HT = Device::HandTerminal, DM = Device::DotMatrix, TM = Device::TicketMachine,
                     none = Device::Unknown;
        QTest::newRow("ALINDI with no address before") << std::vector<Send>{} << 16 << 5 << 10 << none << -1;
        QTest::newRow("ALINDI to the frame sent") << std::vector<Send>{{HT, 5, 0}} << 16 << 5 << 30 << HT << 30;
        QTest::newRow("ALINDI at the window's end") << std::vector<Send>{{TM, 130, 0}} << 16 << 130 << 500 << TM << 500;
        QTest::newRow("ALINDI past the window") << std::vector<Send>{{HT, 5, 0}} << 16 << 5 << 501 << none << -1;
        QTest::newRow("ALINDI from another number") << std::vector<Send>{{HT, 5, 0}} << 16 << 6 << 30 << none << -1;
        QTest::newRow("same number, two types: the last addressed")
            << std::vector<Send>{{DM, 5, 0}, {HT, 5, 100}} << 16 << 5 << 150 << HT << 50;
        QTest::newRow("same number, two types: a key is the terminal's")
            << std::vector<Send>{{HT, 5, 0}, {DM, 5, 100}} << 1 << 5 << 150 << HT << -1;
        QTest::newRow("after the next frame was sent")
            << std::vector<Send>{{HT, 5, 0}, {HT, 6, 100}} << 16 << 5 << 150 << HT << -1;
        QTest::newRow("a ticket request answers its machine")
            << std::vector<Send>{{TM, 130, 0}} << 14 << 130 << 80 << TM << 80;
        QTest::newRow("a key before anything was sent") << std::vector<Send>{} << 1 << 3 << 0 << HT << -1;
        QTest::newRow("a frame before the one it would answer")
            << std::vector<Send>{{HT, 5, 100}} << 16 << 5 << 99 << none << -1;
        QTest::newRow("the chime has no number to answer by")
            << std::vector<Send>{{Device::Chime, 0, 0}} << 16 << 0 << 10 << none << -1;
    }
    void answers() {
        QFETCH(std::vector<Send>, sends);
        QFETCH(int, code);
        QFETCH(int, number);
        QFETCH(int, at);
        QFETCH(Device, device);
        QFETCH(int, delay);
        AnswerRule rule;
        for (const Send& s : sends) rule.sent(s.device, to(s.number), milliseconds{s.at_ms});
        const AnswerRule::Heard heard = rule.received(from(static_cast<Byte>(code), static_cast<Byte>(number)),
                                                      milliseconds{at});
        QCOMPARE(heard.device, device);
        QCOMPARE(int(heard.number), number);
        QCOMPARE(heard.delay.has_value(), delay >= 0);
        if (heard.delay) QCOMPARE(std::chrono::duration_cast<milliseconds>(*heard.delay).count(), delay);
    }
};

QTEST_APPLESS_MAIN(AnswerRuleTest)
#include "tst_answer_rule.moc"
