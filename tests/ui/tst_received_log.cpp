// Text7's log view: the same text and picture however the text arrives, a
// bounded length, no scrolling by the program; selecting, copying, read-only,
// its context menu and what assistive tools read.
#include <QAccessible>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

#include "support/console.h"
#include "ui/received_log.h"

using vela::ReceivedLog;

namespace {
// Long enough for several wrapped lines and a scroll bar.
QString byteTokens(int count, int first = 0) {
    QString text;
    for (int i = 0; i < count; ++i) text += QStringLiteral("  %1").arg((first + i) % 256);
    return text;
}
struct Placed : ReceivedLog {
    Placed() { setGeometry(0, 0, 257, 81), show(); }  // Text7's size on the main window
};
// The text area once the timer has passed (the scroll bar left out).
QImage shown(ReceivedLog& log) { return QTest::qWait(1), log.viewport()->grab().toImage(); }
// Just inside the left edge of a character, so a click lands before it.
QPoint at(ReceivedLog& log, int offset) { return log.characterRect(offset).center() - QPoint(2, 0); }
void click(ReceivedLog& log, int offset, Qt::KeyboardModifiers with = {}) {
    QTest::mouseClick(log.viewport(), Qt::LeftButton, with, at(log, offset));
}
using Gesture = void (*)(ReceivedLog&);
void drag(ReceivedLog& log) {
    QTest::mousePress(log.viewport(), Qt::LeftButton, {}, at(log, 7));
    QTest::mouseMove(log.viewport(), at(log, 10)), QTest::mouseRelease(log.viewport(), Qt::LeftButton, {}, at(log, 10));
}
void doubleClick(ReceivedLog& log) { QTest::mouseDClick(log.viewport(), Qt::LeftButton, {}, at(log, 8)); }
void shiftClick(ReceivedLog& log) { click(log, 7), click(log, 13, Qt::ShiftModifier); }
void shiftArrows(ReceivedLog& log) {
    click(log, 7);
    for (int i = 0; i < 3; ++i) QTest::keyClick(&log, Qt::Key_Right, Qt::ShiftModifier);
}
void selectAllKey(ReceivedLog& log) { QTest::keySequence(&log, QKeySequence::SelectAll); }

}  // namespace

Q_DECLARE_METATYPE(Gesture)

class ReceivedLogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vela::test::useConsoleStyle(); }
    void appendedInPieces_data() {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("text");
        QTest::newRow("blank, then the number") << QStringList{"Text7", " ", " 170", " ", " 5"} << "Text7  170  5";
        QTest::newRow("word split") << QStringList{"Te", "xt7", "  17", "0"} << QStringLiteral("Text7  170");
        QTest::newRow("many lines") << QStringList{"Text7", byteTokens(40), " ", byteTokens(40, 40).mid(1)}
                                    << QStringLiteral("Text7") + byteTokens(80);
    }
    void appendedInPieces() {
        QFETCH(QStringList, pieces);
        QFETCH(QString, text);
        Placed inPieces, atOnce, empty;
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
        Placed log;
        const QString all = QStringLiteral("Text7") + byteTokens(30000);
        log.append(u"Text7");
        for (int i = 0; i < 30000; ++i) log.append(byteTokens(1, i));
        QTRY_VERIFY(log.text().size() <= ReceivedLog::kKeptCharacters);
        QVERIFY(log.text().size() > ReceivedLog::kKeptCharacters - 1024);  // whole lines, not more
        QVERIFY(all.endsWith(log.text()));
        // Trimmed at a token boundary: the kept text starts with a whole number.
        QVERIFY(all.at(all.size() - log.text().size() - 1).isDigit());
        QVERIFY(log.text().startsWith(QStringLiteral("  ")) && log.text().at(2).isDigit());
        const QString tail = log.text();
        log.append(u"  99");
        QCOMPARE(log.text(), tail + QStringLiteral("  99"));
    }
    void notScrolledByProgram() {
        Placed log;
        QScrollBar& bar = *log.verticalScrollBar();
        log.append(QStringLiteral("Text7") + byteTokens(200));
        QTRY_VERIFY(bar.maximum() > 10);
        QCOMPARE(bar.value(), 0);
        bar.setValue(5);  // the technician scrolls and selects
        log.setSelection(7, 11);
        const int lines = bar.maximum();
        const QImage before = shown(log);
        log.append(byteTokens(200));
        QTRY_VERIFY(bar.maximum() > lines);
        QCOMPARE(bar.value(), 5);
        QCOMPARE(log.selectedText(), QStringLiteral("0  1"));
        QCOMPARE(shown(log), before);
    }
    void selectCopyAndType_data() {
        QTest::addColumn<Gesture>("gesture");
        QTest::addColumn<QString>("copied");
        QTest::newRow("mouse drag") << &drag << QStringLiteral("170");
        QTest::newRow("double click on a number") << &doubleClick << QStringLiteral("170");
        QTest::newRow("shift click") << &shiftClick << QStringLiteral("170  1");
        QTest::newRow("shift and arrows") << &shiftArrows << QStringLiteral("170");
        QTest::newRow("all, hundreds of bytes") << &selectAllKey << QStringLiteral("Text7  170  1") + byteTokens(400);
    }
    // What is copied is the held text itself, no breaks where the lines wrap;
    // typing, cutting or pasting over the selection changes nothing.
    void selectCopyAndType() {
        QFETCH(Gesture, gesture);
        QFETCH(QString, copied);
        Placed log;
        const QString held = QStringLiteral("Text7  170  1") + byteTokens(400);
        log.append(held);
        QTest::qWait(1);
        gesture(log);
        QGuiApplication::clipboard()->clear();
        QTest::keySequence(&log, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
        QTest::keyClicks(&log, QStringLiteral("x 1"));
        for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return}) QTest::keyClick(&log, key);
        for (const auto key : {QKeySequence::Paste, QKeySequence::Cut}) QTest::keySequence(&log, key);
        QCOMPARE(log.text(), held);
    }
    // "Kopyala" only with a selection; actions added to the log follow a separator.
    void contextMenu() {
        ReceivedLog log;
        log.append(u"Text7  170");
        const auto texts = [&log] {
            std::unique_ptr<QMenu> menu(log.createContextMenu());
            QStringList found;
            for (const QAction* action : menu->actions()) found << (action->isSeparator() ? "|" : action->text());
            return std::pair(found, menu->actions().first()->isEnabled());
        };
        QCOMPARE(texts(), std::pair(QStringList({"Kopyala", "Tümünü Seç"}), false));
        log.addActions({new QAction(QStringLiteral("Birinci"), &log), new QAction(QStringLiteral("İkinci"), &log)});
        log.setSelection(5, 10);
        QCOMPARE(texts(), std::pair(QStringList({"Kopyala", "Tümünü Seç", "|", "Birinci", "İkinci"}), true));
    }
    // A screen reader reads an editable text: "Text7" at start, then each update.
    void accessibleText() {
        ReceivedLog log;
        log.append(u"Text7");
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&log);
        QCOMPARE(accessible->role(), QAccessible::EditableText);
        QVERIFY(accessible->state().multiLine && accessible->state().readOnly);
        QAccessibleTextInterface& text = *accessible->textInterface();
        QCOMPARE(text.text(0, text.characterCount()), QStringLiteral("Text7"));
        log.append(u"  170"), log.append(u"  1");
        QCOMPARE(text.text(0, text.characterCount()), QStringLiteral("Text7  170  1"));
        log.setSelection(10, 5);
        int start = -1, end = -1;
        text.selection(0, &start, &end);
        QCOMPARE(std::tuple(text.text(start, end), text.cursorPosition()), std::tuple(QStringLiteral("  170"), 5));
    }
};

QTEST_MAIN(ReceivedLogTest)
#include "tst_received_log.moc"
