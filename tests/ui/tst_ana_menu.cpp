// The main window as a whole: its state at start, its captions and whether
// they fit their controls, the way to the ticket window, the clicks it
// refuses, and a device that vanishes or is plugged in again.
#include <QGroupBox>
#include <QSignalSpy>
#include <QTest>

#include "tst_ana_menu_harness.h"
#include "ui/bilet_ayarlama.h"
#include "ui/received_log.h"
#include "ui/wrapping_button.h"

using namespace vela::test;

namespace {

const QString kNotOpen = QString::fromUtf8(vela::kPortNotOpenMessage);
const QList<int> kChimeOn = hex("AA 1D 01 00 00 00 C8");
const QList<int> kAdvanceKey{170, 1, 0, 0, 0, 5, 176};

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

class AnaMenuTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useConsoleStyle(); }

    void loadBeepsOnce() {
        FeedbackRecorder feedback;
        vela::Windows windows;
        windows.anaMenu();
        QCOMPARE(feedback.beeps, 1);
    }

    void startsEmpty() {
        Console console;
        for (const QLineEdit* field : console.menu.findChildren<QLineEdit*>()) {
            QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
        }
        QCOMPARE(console.menu.windowTitle(), QStringLiteral("VELA TEST  Ver 1.7   Karvo Elektronik Ltd"));
        QCOMPARE(console.menu.Text7()->text(), QStringLiteral("Text7"));
        QCOMPARE(console.sentDisplay(), QStringList(7, QString()));
        QCOMPARE(console.receivedDisplay(), QStringList(7, QString()));
        QVERIFY(console.menu.GelenKomutLabel()->text().isEmpty());
    }

    // The captions whose blanks are part of them, and a few more.
    void captions() {
        Console console(Console::Port::Closed);
        const std::pair<const char*, const char*> captions[] = {
            {"Command9", "   Bilet Gönder     1. Komut"},
            {"Command6", "   Bilet Gönder     2. Komut"},
            {"Command32", "Display Çizgi Yapma  Komutu"},
            {"Command33", "Display Açma  Komutu"},
            {"Command10", "Display Açma Komutu"},
            {"Label11", "Gelen Komut: "},
            {"Label8", "GÖNDERILEN DATALAR:"},
            {"Label13", "VELA PROTOKOL TEST PROGRAMI Ver 1.6"},
            {"Command37", "Buffer Uzunluğunu Gönder (255)"},
            {"Command29", "Bilet Ayarları"},
            {"Frame1", "El Terminali Komutları"},
            {"Frame5", "Ding-Dong Zil Komutları"},
        };
        for (const auto& [name, caption] : captions) {
            QWidget* control = console.find<QWidget>(QString::fromLatin1(name));
            QVERIFY2(control, name);
            const auto* label = qobject_cast<QLabel*>(control);
            const auto* button = qobject_cast<QPushButton*>(control);
            const QString shown = label    ? label->text()
                                  : button ? button->text()
                                           : qobject_cast<QGroupBox*>(control)->title();
            QCOMPARE(shown, QString::fromUtf8(caption));
        }
    }

    void captionsFit() {
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

    void biletAyarlariSwapsWindows() {
        Console console(Console::Port::Closed);
        QVERIFY(console.click(QStringLiteral("Command29")));
        QVERIFY(!console.menu.isVisible());
        QVERIFY(console.windows.biletAyarlama().isVisible());
    }

    void closingEndsProgram() {
        Console console(Console::Port::Closed);
        console.menu.close();
        QCOMPARE(console.feedback.ends, 1);
    }

    void refuses_data() {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        auto row = [](const char* name, bool open, const QStringList& fields, const char* button, const char* message) {
            QTest::newRow(name) << open << fields << QString::fromLatin1(button) << QString::fromUtf8(message);
        };
        row("closed port", false, {}, "Command1", vela::kPortNotOpenMessage);
        row("closed port, text transfer told once", false, {"Text9=ABC"}, "Command14", vela::kPortNotOpenMessage);
        row("terminal read first", true, {"Text1=300", "Text2=70000"}, "Command2",
            "El Terminal No 0 ile 255 arasında olmalı!");
        row("machine read first", true, {"Text5=-1", "Text6=70000"}, "Command9",
            "Bilet Makinesi No 0 ile 255 arasında olmalı!");
        row("text of 256 characters", true, {"Text8=1", "Text9=" + QString(256, u'A')}, "Command14",
            "Metin 255 karakterden uzun olamaz!");
        row("no Windows-1254 code", true, {"Text9=Aā"}, "Command14", "'ā' karakteri gönderilemez!");
        row("ID before text", true, {"Text8=256", "Text9=Aā"}, "Command14", "ID No 0 ile 255 arasında olmalı!");
    }

    // One message, nothing on the line, the sent-bytes display as it was.
    void refuses() {
        QFETCH(bool, open);
        QFETCH(QStringList, fields);
        QFETCH(QString, button);
        QFETCH(QString, message);

        Console console(open ? Console::Port::Open : Console::Port::Closed);
        QVERIFY(!open || console.sendGlobalReset());
        const QStringList before = console.sentDisplay();
        for (const QString& entry : fields) {  // set, not typed: 256 key clicks prove nothing more
            console.find<QLineEdit>(entry.section(u'=', 0, 0))->setText(entry.section(u'=', 1));
        }
        QVERIFY(console.click(button));
        QCOMPARE(console.feedback.messages, QStringList{message});
        QCOMPARE(asInts(console.pty.readAll()), QList<int>{});
        QCOMPARE(console.sentDisplay(), before);
        QVERIFY(console.find<QPushButton>(QStringLiteral("Command14"))->isEnabled());
    }

    void vanishedDeviceToldOnceThenClosed() {
        Console console;
        QVERIFY(console.sendGlobalReset());
        const QStringList before = console.sentDisplay();
        console.pty.closeMaster();
        QVERIFY(console.click(QStringLiteral("Command34")));
        QVERIFY(console.click(QStringLiteral("Command28")));
        QCOMPARE(console.feedback.messages, (QStringList{QString::fromUtf8(vela::kPortLostMessage), kNotOpen}));
        QCOMPARE(console.sentDisplay(), before);
    }

    // Sends in between find the port closed; once the device is back the
    // buttons and the monitor work again without a restart.
    void replugged() {
        Console console(Console::Port::Closed);
        DeviceLink link;
        QVERIFY(console.openThrough(link));
        vela::SerialPort& port = console.menu.MSComm1;
        QSignalSpy lost(&port, &vela::SerialPort::lost);
        QVERIFY(console.sendGlobalReset());
        const QStringList before = console.sentDisplay();
        console.pty.closeMaster();
        QVERIFY(link.pointNowhere());
        QTRY_COMPARE(lost.count(), 1);

        for (int i = 0; i < 2; ++i) {
            QVERIFY(console.click(QStringLiteral("Command34")));
            QTest::qWait(vela::SerialPort::kReopenIntervalMs);
        }
        QCOMPARE(console.feedback.messages, QStringList(2, kNotOpen));
        QCOMPARE(console.sentDisplay(), before);

        Pty replugged;
        QVERIFY(replugged.valid());
        QVERIFY(link.pointAt(replugged.slavePath()));
        QTRY_VERIFY_WITH_TIMEOUT(port.isOpen(), 3 * vela::SerialPort::kReopenIntervalMs);
        console.feedback.clear();
        QVERIFY(console.click(QStringLiteral("Command34")));
        QCOMPARE(asInts(replugged.read(7)), kChimeOn);
        QCOMPARE(console.sentDisplay(), shownBytes(kChimeOn));

        const QString logBefore = console.menu.Text7()->text();
        QVERIFY(replugged.write(asBytes(kAdvanceKey)));
        QTRY_COMPARE(console.receivedDisplay(), shownBytes(kAdvanceKey));
        QCOMPARE(console.menu.GelenKomutLabel()->text(), QStringLiteral("El Terminalinden gelen İLERTLETME KOMUTU"));
        QVERIFY(console.menu.Text7()->text().startsWith(logBefore));
        QCOMPARE(console.feedback.beeps, 9);
        QCOMPARE(console.feedback.messages, QStringList{});
        QCOMPARE(lost.count(), 1);
    }
};

QTEST_MAIN(AnaMenuTest)
#include "tst_ana_menu.moc"
