// The real console windows (offscreen) and vela-sim as a separate process on
// its own pseudo-terminal: the console's frames checked against the state the
// simulator decoded, the devices' frames against the console's monitor.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "support/controls.h"
#include "support/feedback_recorder.h"
#include "ui/ana_menu.h"
#include "ui/bilet_ayarlama.h"
#include "ui/font_ayarla.h"
#include "ui/windows.h"

using namespace vela;
using vela::test::typeText;

// One text line of the ticket window: Text1/Check1 index, tick and text.
struct TicketLine {
    int control;
    bool ticked;
    QString text;
};

// What the technician picks in the font window for one ticket element.
struct FontChoice {
    const char* button;  // the ticket window's button that opens the font window
    bool ticks[5];
    int height;  // size index 0..7 (x1..x8)
    int width;
};

namespace {

constexpr int kWait = 10000;  // ms; bounds every wait for the other process

QString simulator_path() { return QCoreApplication::applicationDirPath() + "/../vela-sim"; }

const QByteArray kReady = "Hat hazır: ";

// vela-sim on a fresh pseudo-terminal, its prompt on standard input.
struct Simulator {
    explicit Simulator(const QStringList& arguments = {}) {
        process.start(simulator_path(), QStringList{"--no-time"} + arguments);
    }
    ~Simulator() {
        if (process.state() == QProcess::NotRunning) return;
        process.write("cikis\n");
        if (!process.waitForFinished(kWait)) process.kill();
    }

    // The pty's path from the first line, empty when none came in time.
    QByteArray linePath() {
        while (!process.canReadLine()) {
            if (!process.waitForReadyRead(kWait)) return {};
        }
        const QByteArray ready = process.readLine().trimmed();
        return ready.startsWith(kReady) ? ready.mid(kReady.size()) : QByteArray{};
    }

    QString output() {
        out += process.readAllStandardOutput();
        return QString::fromUtf8(out);
    }

    // Complete lines that report a frame from the console.
    int framesReceived() {
        const QString text = output();
        const QStringList lines = text.left(text.lastIndexOf(u'\n') + 1).split(u'\n');
        return static_cast<int>(
            std::count_if(lines.begin(), lines.end(), [](const QString& line) { return line.startsWith("GELEN "); }));
    }

    // The lines the last "durum" has printed so far, without its heading.
    QStringList status() {
        const QString text = output();
        const qsizetype at = text.lastIndexOf(QStringLiteral("DURUM\n"));
        return at < 0 ? QStringList{} : lines(text.mid(at + 6));
    }

    static QStringList lines(const QString& text) { return text.split(u'\n', Qt::SkipEmptyParts); }

    QProcess process;
    QByteArray out;
};

// The console as the technician leaves it after choosing Com 1 at 9600.
struct Console {
    explicit Console(Simulator& sim) {
        const QByteArray path = sim.linePath();
        qputenv("VELA_COM1", path);
        SerialPort& comm = menu.MSComm1;
        comm.setCommPort(1);
        opened = !path.isEmpty() && comm.setSettings(QStringLiteral("9600,N,8,1")) == 0 && comm.open() == 0;
        comm.setRThreshold(1);
        menu.show();
        opened = QTest::qWaitForWindowExposed(&menu) && opened;
        feedback.clear();  // the load beep is not part of any test step
    }

    template <class T>
    static T* find(const QWidget& window, const QString& name) {
        return window.findChild<T*>(name);
    }

    // Each entry "Text1=5", typed into the main window.
    bool typeAll(const QStringList& fields) {
        for (const QString& entry : fields) {
            const qsizetype equals = entry.indexOf(u'=');
            if (!typeText(find<QLineEdit>(menu, entry.left(equals)), entry.mid(equals + 1))) return false;
        }
        return true;
    }

    static bool click(const QWidget& window, const QString& button) {
        auto* target = find<QPushButton>(window, button);
        if (!target || !target->isVisible()) return false;
        QTest::mouseClick(target, Qt::LeftButton);
        return true;
    }

    static bool tick(const QWidget& window, const QString& box, bool ticked) {
        auto* target = find<QAbstractButton>(window, box);
        if (!target) return false;
        // On the indicator: a box's middle may lie past its short caption.
        const QPoint indicator(target->height() / 2, target->height() / 2);
        if (target->isChecked() != ticked) QTest::mouseClick(target, Qt::LeftButton, {}, indicator);
        return target->isChecked() == ticked;
    }

    test::FeedbackRecorder feedback;  // first, so that it sees the window's load
    Windows windows;
    AnaMenu& menu = windows.anaMenu();
    bool opened = false;  // on the simulator's line, on screen
};

// The devices' side of round_trip: quiet while the console sends, then a key
// press byte by byte (--byte-gap) and a ticket request as a whole frame in
// one write.
const QByteArray kScript =
    "bekle 3000\n"
    "tus 5 ilerlet\n"
    "bekle 1000\n"
    "bayt 170 14 0 0 0 130 58\n"
    "bekle 500\n"
    "durum\n";

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void round_trip();
    void panels_data();
    void panels();
    void ticket_transfer();
};

void EndToEndTest::round_trip() {
    QTemporaryDir dir;
    QFile script(dir.filePath("devices.txt"));
    QVERIFY(script.open(QIODevice::WriteOnly) && script.write(kScript) == kScript.size());
    script.close();
    const QString pathFile = dir.filePath("hat");
    Simulator sim({"--script", script.fileName(), "--byte-gap", "5", "--path-file", pathFile});
    Console console(sim);
    QVERIFY2(console.opened, qPrintable(sim.output()));
    QFile written(pathFile);  // the line's path, also written where asked
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll().trimmed(), qgetenv("VELA_COM1"));
    QVERIFY(console.typeAll({"Text1=5", "Text2=300", "Text8=5", "Text9=AB"}));
    QVERIFY(console.click(console.menu, "Command2"));   // "Sayı Gönder"
    QVERIFY(console.click(console.menu, "Command14"));  // "Karakterleri Gönder"

    AnaMenu& menu = console.menu;
    QTRY_COMPARE_WITH_TIMEOUT(menu.GelenKomutLabel()->text(), QString("El Terminalinden gelen İLERTLETME KOMUTU"),
                              8000);
    QTRY_COMPARE_WITH_TIMEOUT(menu.GelenKomutLabel()->text(), QString("Bilet Makinesinden gelen BİLET TALEP KOMUTU"),
                              4000);

    QVERIFY(sim.process.waitForFinished(kWait));
    QCOMPARE(sim.process.exitCode(), 0);
    const QString out = sim.output();
    QVERIFY2(out.contains("GELEN      170   2  44   1   0   5 222  El Terminali 5: SAYI GÖNDER 300"), qPrintable(out));
    QVERIFY2(out.contains("DURUM\nEl Terminali 5: sayı 300\n"), qPrintable(out));
    QVERIFY2(out.contains("Dot Matrix Display 5: metin \"AB\", uzunluk 2, mod Display Açma Komutu\n"), qPrintable(out));
    QVERIFY2(!out.contains("çerçeve oluşturmayan"), qPrintable(out));
}

// Fields typed and buttons clicked in the main window, one frame a click;
// the whole state the simulator then reports.
void EndToEndTest::panels_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("status");
    const auto row = [](const char* name, const QStringList& fields, const QStringList& buttons, const char* status) {
        QTest::newRow(name) << fields << buttons << QString::fromUtf8(status);
    };

    // One click per device type; hand terminal and dot matrix are in round_trip.
    row("ticket machine: 1. Komut", {"Text5=130", "Text6=300", "Text13=1"}, {"Command9"},
        "Bilet Makinesi 130:\n"
        "  1. komut: bilet numarası 300, kaçıncı bilet 1\n"
        "  bilet düzeni alınmadı\n");
    row("Global Reset after a number", {"Text1=5", "Text2=300"}, {"Command2", "Command3"},
        "El Terminali 5: reset 1 kez\n"
        "Global reset: 1 kez\n");
    row("left arrow on board 220", {"Text14=220", "Text15=3"}, {"Command23"},
        "Ana Tablo 220: KU 3 Sola Yön Oku Göster\n");
    row("Ding-Dong AÇIK", {}, {"Command34"}, "Ding-Dong Zil: açık\n");
}

void EndToEndTest::panels() {
    QFETCH(QStringList, fields);
    QFETCH(QStringList, buttons);
    QFETCH(QString, status);

    Simulator sim;
    Console console(sim);
    QVERIFY2(console.opened, qPrintable(sim.output()));
    QVERIFY(console.typeAll(fields));
    for (const QString& button : buttons) QVERIFY2(console.click(console.menu, button), qPrintable(button));

    QTRY_COMPARE_WITH_TIMEOUT(sim.framesReceived(), static_cast<int>(buttons.size()), kWait);
    sim.process.write("durum\n");
    QTRY_COMPARE_WITH_TIMEOUT(sim.status(), Simulator::lines(status), kWait);
    QVERIFY2(!sim.output().contains("çerçeve oluşturmayan"), qPrintable(sim.output()));
    QCOMPARE(console.feedback.messages, QStringList{});
}

// A first ticket command from the main window, then the whole ticket from the
// ticket window: lines typed and ticked, fonts chosen in the font window,
// some font boxes ticked, "GÖNDER".
void EndToEndTest::ticket_transfer() {
    Simulator sim;
    Console console(sim);
    QVERIFY2(console.opened, qPrintable(sim.output()));
    QVERIFY(console.typeAll({"Text5=131", "Text6=42", "Text13=1"}));
    QVERIFY(console.click(console.menu, "Command9"));   // "1. Komut"
    QVERIFY(console.click(console.menu, "Command29"));  // to the ticket window
    BiletAyarlama& bilet = console.windows.biletAyarlama();
    QVERIFY(QTest::qWaitForWindowExposed(&bilet));
    const QList<TicketLine> lines = {
        {0, true, "ŞEHİR HASTANESİ"}, {1, false, "gizli satır"}, {2, true, "Poliklinik"}, {7, true, "Ğ ığüşöç İÇÖÜ"}};
    for (const TicketLine& line : lines) {
        QVERIFY(typeText(bilet.Text1(line.control), line.text));
        QVERIFY(Console::tick(bilet, bilet.Check1(line.control)->objectName(), line.ticked));
    }
    // Per element: the font window's ticks (Font B, emphasized, double
    // height, double width, underline) and its height and width options.
    const QList<FontChoice> choices = {{"Command3", {1, 1, 1, 0, 0}, 0, 0},
                                       {"Command4", {0, 0, 0, 1, 0}, 1, 2},
                                       {"Command5", {1, 1, 0, 0, 0}, 3, 3},
                                       {"Command6", {0, 0, 0, 0, 1}, 0, 0}};
    const char* const boxes[5] = {"Font_A_B_1", "Emphasized_Mode", "Double_Height", "Double_Width", "Underline"};
    Font_Ayarla& font = console.windows.fontAyarla();
    for (const FontChoice& choice : choices) {
        QVERIFY(Console::click(bilet, choice.button));
        QVERIFY(QTest::qWaitForWindowExposed(&font));
        if (!choice.ticks[0]) QVERIFY(Console::tick(font, "Font_A_B_0", true));
        for (int i = 0; i < 5; ++i) QVERIFY(Console::tick(font, boxes[i], choice.ticks[i]));
        QVERIFY(Console::tick(font, QStringLiteral("Option1_%1").arg(choice.height), true));
        QVERIFY(Console::tick(font, QStringLiteral("Option2_%1").arg(choice.width), true));
        QVERIFY(Console::click(font, "Command3"));  // "Font Seç"
        QVERIFY(Console::click(font, "Command1"));  // "Geri Dön"
        QVERIFY(QTest::qWaitForWindowExposed(&bilet));
    }
    const bool fontTicks[8] = {true, true, true, true, false, false, true, false};
    for (int slot = 0; slot < 8; ++slot)
        QVERIFY(Console::tick(bilet, QStringLiteral("Check%1").arg(slot + 2), fontTicks[slot]));
    QVERIFY(typeText(Console::find<QLineEdit>(bilet, "Text5"), "131"));
    QVERIFY(Console::click(bilet, "BiletBilgisiGönder"));

    QTRY_COMPARE_WITH_TIMEOUT(sim.framesReceived(), 1 + 96 + 5, kWait);
    sim.process.write("durum\n");
    QTRY_COMPARE_WITH_TIMEOUT(sim.status(),
                              Simulator::lines("Bilet Makinesi 131:\n"
                                               "  1. komut: bilet numarası 42, kaçıncı bilet 1\n"
                                               "  Bilet:\n"
                                               "    ŞEHİR HASTANES    [Font B, kalın, 2x yükseklik]\n"
                                               "    Poliklinik        [Font B, kalın, 2x yükseklik]\n"
                                               "    Ğ ığüşöç İÇÖÜ     [Font A, 2x yükseklik, 3x genişlik]\n"
                                               "    Bilet No: 42      [Font A]\n"
                                               "    GG.AA.YYYY SS:DD  [Font A, altı çizili]\n"),
                              kWait);
    QVERIFY2(!sim.output().contains("çerçeve oluşturmayan"), qPrintable(sim.output()));
    QCOMPARE(console.feedback.messages, QStringList{});
}

QTEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
