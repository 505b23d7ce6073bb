// The main window as a whole: its state at start, its captions and whether
// they fit their controls, the way to the ticket window, and what a click
// does when the port is not there.
#include <QGroupBox>
#include <QTest>

#include "tst_ana_menu_harness.h"
#include "ui/bilet_ayarlama.h"
#include "ui/received_log.h"
#include "ui/wrapping_button.h"

using namespace vela::test;

class AnaMenuTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useConsoleStyle(); }
    void loadBeepsOnce();
    void startsEmpty();
    void captions_data();
    void captions();
    void captionsFit();
    void biletAyarlariSwapsWindows();
    void closingEndsProgram();
    void closedPortSendsNothing();
    void vanishedDeviceToldOnceThenClosed();
};

void AnaMenuTest::loadBeepsOnce() {
    FeedbackRecorder feedback;
    vela::Windows windows;
    windows.anaMenu();
    QCOMPARE(feedback.beeps, 1);
}

void AnaMenuTest::startsEmpty() {
    Console console;
    for (const QLineEdit* field : console.menu.findChildren<QLineEdit*>()) {
        QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
    }
    QCOMPARE(console.menu.Text7()->text(), QStringLiteral("Text7"));
    QCOMPARE(console.sentDisplay(), QStringList(7, QString()));
    QCOMPARE(console.receivedDisplay(), QStringList(7, QString()));
    QVERIFY(console.menu.GelenKomutLabel()->text().isEmpty());
}

// The captions whose blanks are part of them, and a few more.
void AnaMenuTest::captions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    auto row = [](const char* name, const char* caption) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption);
    };
    row("Command9", "   Bilet Gönder     1. Komut");
    row("Command6", "   Bilet Gönder     2. Komut");
    row("Command32", "Display Çizgi Yapma  Komutu");
    row("Command33", "Display Açma  Komutu");
    row("Command10", "Display Açma Komutu");
    row("Label11", "Gelen Komut: ");
    row("Label8", "GÖNDERILEN DATALAR:");
    row("Label13", "VELA PROTOKOL TEST PROGRAMI Ver 1.6");
    row("Command37", "Buffer Uzunluğunu Gönder (255)");
    row("Command29", "Bilet Ayarları");
    row("Frame1", "El Terminali Komutları");
    row("Frame5", "Ding-Dong Zil Komutları");
}

void AnaMenuTest::captions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Console console(Console::Port::Closed);
    QCOMPARE(console.menu.windowTitle(), QStringLiteral("VELA TEST  Ver 1.7   Karvo Elektronik Ltd"));
    QWidget* control = console.find<QWidget>(name);
    QVERIFY(control);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), caption);
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        QCOMPARE(button->text(), caption);
    } else {
        QCOMPARE(qobject_cast<QGroupBox*>(control)->title(), caption);
    }
}

namespace {

// Whether the text, laid out as the control lays it out, stays inside the
// control's text area and is not covered by a sibling stacked above it.
QString misfit(const QWidget* control, const QRect& area, int flags, const QString& text) {
    const QRect used = control->fontMetrics().boundingRect(area, flags, text);
    if (!area.contains(used)) {
        return QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
            .arg(control->objectName(), text)
            .arg(used.width()).arg(used.height()).arg(area.width()).arg(area.height());
    }
    const QObjectList& siblings = control->parentWidget()->children();
    for (qsizetype i = siblings.indexOf(control) + 1; i < siblings.size(); ++i) {
        const auto* above = qobject_cast<const QWidget*>(siblings[i]);
        if (above && above->geometry().intersects(used.translated(control->pos()))) {
            return QStringLiteral("%1 \"%2\" is covered by %3").arg(control->objectName(), text, above->objectName());
        }
    }
    return {};
}

}  // namespace

void AnaMenuTest::captionsFit() {
    Console console(Console::Port::Closed);
    QStringList faults;
    for (const QLabel* label : console.menu.findChildren<QLabel*>()) {
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        faults << misfit(label, label->contentsRect(), flags, label->text());
    }
    for (const vela::WrappingButton* button : console.menu.findChildren<vela::WrappingButton*>()) {
        if (!button->captionFits()) faults << button->objectName() + QStringLiteral(" \"") + button->text() + u'"';
    }
    for (const QGroupBox* frame : console.menu.findChildren<QGroupBox*>()) {
        const int needed = frame->fontMetrics().horizontalAdvance(frame->title());
        if (needed > frame->width()) faults << frame->objectName() + QStringLiteral(" title");
    }
    faults.removeAll(QString());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

void AnaMenuTest::biletAyarlariSwapsWindows() {
    Console console(Console::Port::Closed);
    QVERIFY(console.click(QStringLiteral("Command29")));
    QVERIFY(!console.menu.isVisible());
    QVERIFY(console.windows.biletAyarlama().isVisible());
}

void AnaMenuTest::closingEndsProgram() {
    Console console(Console::Port::Closed);
    console.menu.close();
    QCOMPARE(console.feedback.ends, 1);
}

void AnaMenuTest::closedPortSendsNothing() {
    Console console(Console::Port::Closed);
    QVERIFY(console.click(QStringLiteral("Command1")));
    QVERIFY(console.click(QStringLiteral("Command34")));
    QCOMPARE(console.feedback.messages,
             QStringList(2, QString::fromUtf8(vela::kPortNotOpenMessage)));
    QCOMPARE(asInts(console.pty.readAll()), QList<int>{});
    QCOMPARE(console.sentDisplay(), QStringList(7, QString()));
}

void AnaMenuTest::vanishedDeviceToldOnceThenClosed() {
    Console console;
    QVERIFY(console.opened);
    QVERIFY(console.sendGlobalReset());
    const QStringList before = console.sentDisplay();
    console.pty.closeMaster();
    QVERIFY(console.click(QStringLiteral("Command34")));
    QCOMPARE(console.feedback.messages, QStringList{QString::fromUtf8(vela::kPortLostMessage)});
    QCOMPARE(console.sentDisplay(), before);

    console.feedback.clear();
    QVERIFY(console.click(QStringLiteral("Command28")));
    QCOMPARE(console.feedback.messages, QStringList{QString::fromUtf8(vela::kPortNotOpenMessage)});
    QCOMPARE(console.sentDisplay(), before);
}

QTEST_MAIN(AnaMenuTest)
#include "tst_ana_menu.moc"
