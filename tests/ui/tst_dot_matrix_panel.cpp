// "Karakterleri Gönder": the frames of the text transfer in order, the pauses
// between them measured on the line, and the button disabled meanwhile.
#include <QTest>
#include <atomic>
#include <thread>

#include "tst_ana_menu_harness.h"
#include "ui/dot_matrix_panel.h"

using namespace vela::test;
using std::chrono::milliseconds;

// The pty hands written bytes to its master through a kernel work queue, and
// the reading thread stamps them when it wakes up: on a busy machine a frame
// can be stamped some milliseconds after it was written, which shortens the
// pause measured after it by as much. A missing or wrong pause is far larger.
constexpr int kLineLatencyMs = 10;

class DotMatrixPanelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useConsoleStyle(); }
    void transfersText_data();
    void transfersText();
    void refusesText_data();
    void refusesText();
    void closedPortToldOnce();
};

void DotMatrixPanelTest::transfersText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QList<QList<int>>>("frames");
    QTest::addColumn<QList<int>>("gapsMs");  // least time from each frame to the next

    QTest::newRow("AB to 5") << QStringLiteral("AB") << QStringLiteral("5")
                             << QList<QList<int>>{{170, 21, 5, 0, 0, 5, 201},
                                                  {170, 20, 0, 0, 65, 5, 4},
                                                  {170, 20, 0, 1, 66, 5, 6},
                                                  {170, 21, 4, 0, 0, 5, 200},
                                                  {170, 41, 0, 2, 0, 5, 218}}
                             << QList<int>{200, 20, 220, 20};
    QTest::newRow("empty text") << QString() << QStringLiteral("7")
                                << QList<QList<int>>{{170, 21, 5, 0, 0, 7, 203},
                                                     {170, 21, 4, 0, 0, 7, 202},
                                                     {170, 41, 0, 0, 0, 7, 218}}
                                << QList<int>{400, 20};
    QTest::newRow("Turkish ı") << QStringLiteral("ı") << QString()
                               << QList<QList<int>>{{170, 21, 5, 0, 0, 0, 196},
                                                    {170, 20, 0, 0, 253, 0, 187},
                                                    {170, 21, 4, 0, 0, 0, 195},
                                                    {170, 41, 0, 1, 0, 0, 212}}
                               << QList<int>{200, 220, 20};
}

void DotMatrixPanelTest::transfersText() {
    QFETCH(QString, text);
    QFETCH(QString, id);
    QFETCH(QList<QList<int>>, frames);
    QFETCH(QList<int>, gapsMs);

    Console console;
    QVERIFY(console.opened);
    QVERIFY(console.type(QStringLiteral("Text9"), text));
    QVERIFY(console.type(QStringLiteral("Text8"), id));
    auto* button = console.find<QPushButton>(QStringLiteral("Command14"));
    auto* panel = console.find<vela::DotMatrixPanel>(QStringLiteral("Frame3"));
    QVERIFY(button && panel);
    // Connected after the main window's own connection: runs once the frames
    // have been handed to the port, still inside the click.
    bool enabledWhileSending = true;
    connect(panel, &vela::DotMatrixPanel::send, this, [&] { enabledWhileSending = button->isEnabled(); });

    // The click holds this thread for the whole transfer: read on another.
    const std::size_t count = static_cast<std::size_t>(frames.size()) * 7;
    std::vector<Pty::TimedByte> got;
    // It must be waiting on the line before the first frame, or that frame
    // is stamped late and the first pause looks short.
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
    QList<QList<int>> sent;
    for (std::size_t f = 0; f < got.size() / 7; ++f) {
        QList<int> frame;
        for (std::size_t i = 0; i < 7; ++i) frame << got[f * 7 + i].value;
        sent << frame;
    }
    QCOMPARE(sent, frames);
    for (qsizetype f = 0; f < gapsMs.size(); ++f) {
        const auto lastOfFrame = got[static_cast<std::size_t>(f) * 7 + 6].at;
        const auto firstOfNext = got[static_cast<std::size_t>(f + 1) * 7].at;
        const auto gap = std::chrono::duration_cast<milliseconds>(firstOfNext - lastOfFrame).count();
        QVERIFY2(gap >= gapsMs[f] - kLineLatencyMs, qPrintable(QStringLiteral("gap %1: %2 ms").arg(f).arg(gap)));
    }
    QVERIFY(!enabledWhileSending);
    QVERIFY(button->isEnabled());
    QCOMPARE(console.sentDisplay(), shownBytes(frames.last()));
    QCOMPARE(console.feedback.messages, QStringList{});
}

void DotMatrixPanelTest::refusesText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("message");
    QTest::newRow("256 characters") << QString(256, u'A') << QStringLiteral("1")
                                    << QStringLiteral("Metin 255 karakterden uzun olamaz!");
    QTest::newRow("no Windows-1254 code") << QStringLiteral("Aā") << QStringLiteral("1")
                                          << QStringLiteral("'ā' karakteri gönderilemez!");
    QTest::newRow("ID first") << QStringLiteral("Aā") << QStringLiteral("256")
                              << QStringLiteral("ID No 0 ile 255 arasında olmalı!");
}

void DotMatrixPanelTest::refusesText() {
    QFETCH(QString, text);
    QFETCH(QString, id);
    QFETCH(QString, message);

    Console console;
    QVERIFY(console.opened);
    QVERIFY(console.sendGlobalReset());
    const QStringList before = console.sentDisplay();
    // Typing 256 characters one key at a time is slow and proves nothing more.
    console.find<QLineEdit>(QStringLiteral("Text9"))->setText(text);
    QVERIFY(console.type(QStringLiteral("Text8"), id));
    QVERIFY(console.click(QStringLiteral("Command14")));
    QCOMPARE(console.feedback.messages, QStringList{message});
    QCOMPARE(asInts(console.pty.readAll()), QList<int>{});
    QCOMPARE(console.sentDisplay(), before);
    QVERIFY(console.find<QPushButton>(QStringLiteral("Command14"))->isEnabled());
}

// A transfer of several frames on a closed port says so once, not per frame.
void DotMatrixPanelTest::closedPortToldOnce() {
    Console console(Console::Port::Closed);
    QVERIFY(console.type(QStringLiteral("Text9"), QStringLiteral("ABC")));
    QVERIFY(console.click(QStringLiteral("Command14")));
    QCOMPARE(console.feedback.messages, QStringList{QString::fromUtf8(vela::kPortNotOpenMessage)});
    QCOMPARE(console.sentDisplay(), QStringList(7, QString()));
    QVERIFY(console.find<QPushButton>(QStringLiteral("Command14"))->isEnabled());
}

QTEST_MAIN(DotMatrixPanelTest)
#include "tst_dot_matrix_panel.moc"
