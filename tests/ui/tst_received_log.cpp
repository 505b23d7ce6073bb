// Text7's log view: exact text however it is appended, the same picture for
// text appended in pieces or at once, a bounded length trimmed from the front,
// and no scrolling by the program.
#include <QScrollBar>
#include <QTest>

#include "tst_ana_menu_harness.h"
#include "ui/received_log.h"

using vela::ReceivedLog;

namespace {

// Long enough for several wrapped lines and a scroll bar.
QString byteTokens(int count, int first = 0) {
    QString text;
    for (int i = 0; i < count; ++i) text += QStringLiteral("  %1").arg((first + i) % 256);
    return text;
}

void place(ReceivedLog& log) {
    log.setGeometry(0, 0, 257, 81);  // Text7's size on the main window
    log.show();
}

// The text area once the timer has passed (the scroll bar left out).
QImage shown(ReceivedLog& log) {
    QTest::qWait(3 * ReceivedLog::kUpdateIntervalMs);
    return log.viewport()->grab().toImage();
}

}  // namespace

class ReceivedLogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vela::test::useConsoleStyle(); }

    void appendedInPieces_data() {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("text");
        QTest::newRow("byte tokens") << QStringList{"Text7", "  170", "  1"} << QStringLiteral("Text7  170  1");
        QTest::newRow("blank, then the number") << QStringList{"Text7", " ", " 170", " ", " 5"}
                                                << QStringLiteral("Text7  170  5");
        QTest::newRow("word split") << QStringList{"Te", "xt7", "  17", "0"} << QStringLiteral("Text7  170");
        QTest::newRow("many lines") << QStringList{"Text7", byteTokens(40), " ", byteTokens(40, 40).mid(1)}
                                    << QStringLiteral("Text7") + byteTokens(80);
    }

    // However the text arrives, the view holds and paints the same thing.
    void appendedInPieces() {
        QFETCH(QStringList, pieces);
        QFETCH(QString, text);

        ReceivedLog inPieces;
        ReceivedLog atOnce;
        ReceivedLog empty;
        for (ReceivedLog* log : {&inPieces, &atOnce, &empty}) place(*log);
        for (const QString& piece : pieces) {
            inPieces.append(piece);
            QTest::qWait(1);  // some pieces after a layout, some before
        }
        atOnce.append(text);

        QCOMPARE(inPieces.text(), text);
        const QImage picture = shown(atOnce);
        QVERIFY(picture != shown(empty));
        QCOMPARE(shown(inPieces), picture);
    }

    void keepsNewestPart() {
        ReceivedLog log;
        place(log);
        QString all = QStringLiteral("Text7");
        log.append(all);
        for (int i = 0; i < 30000; ++i) {
            const QString token = QStringLiteral("  %1").arg(i % 256);
            log.append(token);
            all += token;
        }
        QTRY_VERIFY(log.text().size() <= ReceivedLog::kKeptCharacters);
        QVERIFY(log.text().size() > ReceivedLog::kKeptCharacters - 1024);  // whole lines, not more
        QVERIFY(all.endsWith(log.text()));
        // Trimmed at a token boundary: the kept text starts with a whole number.
        const qsizetype cut = all.size() - log.text().size();
        QVERIFY(all.at(cut - 1).isDigit());
        QVERIFY(log.text().startsWith(QStringLiteral("  ")) && log.text().at(2).isDigit());

        const QString tail = log.text();
        log.append(u"  99");
        QCOMPARE(log.text(), tail + QStringLiteral("  99"));
    }

    void notScrolledByProgram() {
        ReceivedLog log;
        place(log);
        QScrollBar& bar = *log.verticalScrollBar();
        log.append(QStringLiteral("Text7") + byteTokens(200));
        QTRY_VERIFY(bar.maximum() > 10);
        QCOMPARE(bar.value(), 0);

        bar.setValue(5);  // the technician scrolls
        const int lines = bar.maximum();
        const QImage before = shown(log);
        log.append(byteTokens(200));
        QTRY_VERIFY(bar.maximum() > lines);
        QCOMPARE(bar.value(), 5);
        QCOMPARE(shown(log), before);
    }
};

QTEST_MAIN(ReceivedLogTest)
#include "tst_received_log.moc"
