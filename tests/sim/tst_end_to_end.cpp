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

#include "support/feedback_recorder.h"
#include "ui/ana_menu.h"
#include "ui/bilet_ayarlama.h"
#include "ui/font_ayarla.h"
#include "ui/windows.h"

using namespace vela;

// One text line of the ticket window, by the order of its controls
// (institution lines 0..3, button lines 6 and 7).
struct TicketLine {
    bool ticked;
    QString text;
};

// What the technician picks in the font window for one ticket element.
struct FontChoice {
    const char* button;  // the ticket window's button that opens the font window
    bool font_b;
    bool emphasized;
    bool double_height;
    bool double_width;
    bool underline;
    int height;  // size index 0..7 (x1..x8)
    int width;
};

Q_DECLARE_METATYPE(TicketLine)
Q_DECLARE_METATYPE(FontChoice)

namespace {

constexpr int kWait = 10000;  // ms; bounds every wait for the other process
constexpr int kTicketCharacterFrames = 96;

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
        return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                              [](const QString& line) { return line.startsWith("GELEN "); }));
    }

    void askStatus() { process.write("durum\n"); }

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
    explicit Console(const QByteArray& path) {
        qputenv("VELA_COM1", path);
        SerialPort& comm = menu.MSComm1;
        comm.setCommPort(1);
        opened = comm.setSettings(QStringLiteral("9600,N,8,1")) == 0 && comm.open() == 0;
        comm.setRThreshold(1);
        menu.show();
        exposed = QTest::qWaitForWindowExposed(&menu);
        feedback.clear();  // the load beep is not part of any test step
    }

    template <class T>
    static T* find(const QWidget& window, const QString& name) {
        return window.findChild<T*>(name);
    }

    // Replaces a field's text key by key; "ı" and the other letters beyond
    // ASCII come as keys with their text.
    static bool type(QLineEdit* edit, const QString& text) {
        if (!edit) return false;
        edit->clear();
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(edit, c.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
        return edit->text() == text;
    }

    // Each entry "Text1=5", typed into the main window.
    bool typeAll(const QStringList& fields) {
        for (const QString& entry : fields) {
            const qsizetype equals = entry.indexOf(u'=');
            if (!type(find<QLineEdit>(menu, entry.left(equals)), entry.mid(equals + 1))) return false;
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
    bool opened = false;
    bool exposed = false;
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
    void ticket_transfer_data();
    void ticket_transfer();
};

void EndToEndTest::round_trip() {
    QTemporaryDir dir;
    const QString script = dir.filePath("devices.txt");
    {
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kScript);
    }
    Simulator sim({"--script", script, "--byte-gap", "5"});
    const QByteArray path = sim.linePath();
    QVERIFY2(!path.isEmpty(), qPrintable(sim.output()));

    Console console(path);
    QVERIFY(console.opened);
    QVERIFY(console.exposed);
    QVERIFY(console.typeAll({"Text1=5", "Text2=300", "Text8=5", "Text9=AB"}));
    QVERIFY(console.click(console.menu, "Command2"));   // "Sayı Gönder"
    QVERIFY(console.click(console.menu, "Command14"));  // "Karakterleri Gönder"

    AnaMenu& menu = console.menu;
    QTRY_COMPARE_WITH_TIMEOUT(menu.GelenKomutLabel()->text(),
                              QString("El Terminalinden gelen İLERTLETME KOMUTU"), 8000);
    QTRY_COMPARE_WITH_TIMEOUT(menu.GelenKomutLabel()->text(),
                              QString("Bilet Makinesinden gelen BİLET TALEP KOMUTU"), 4000);

    QVERIFY(sim.process.waitForFinished(kWait));
    QCOMPARE(sim.process.exitCode(), 0);
    const QString out = sim.output();
    QVERIFY2(out.contains("GELEN      170   2  44   1   0   5 222  El Terminali 5: SAYI GÖNDER 300"),
             qPrintable(out));
    QVERIFY2(out.contains("DURUM\nEl Terminali 5: sayı 300\n"), qPrintable(out));
    QVERIFY2(out.contains("Dot Matrix Display 5: metin \"AB\", uzunluk 2, mod Display Açma Komutu\n"),
             qPrintable(out));
    QVERIFY2(!out.contains("çerçeve oluşturmayan"), qPrintable(out));
}

// Fields typed and buttons clicked in the main window, one frame a click;
// the whole state the simulator then reports.
void EndToEndTest::panels_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("status");
    const auto row = [](const char* name, const QStringList& fields, const QStringList& buttons,
                        const char* status) { QTest::newRow(name) << fields << buttons << QString::fromUtf8(status); };

    // Ticket machine
    row("1. Komut", {"Text5=130", "Text6=300", "Text13=1"}, {"Command9"},
        "Bilet Makinesi 130:\n"
        "  1. komut: bilet numarası 300, kaçıncı bilet 1\n"
        "  bilet düzeni alınmadı\n");
    row("1. Komut 65535 at the first machine", {"Text5=129", "Text6=65535", "Text13=255"}, {"Command9"},
        "Bilet Makinesi 129:\n"
        "  1. komut: bilet numarası 65535, kaçıncı bilet 255\n"
        "  bilet düzeni alınmadı\n");
    row("2. Komut at the last machine", {"Text5=144", "Text4=999", "Text17=2"}, {"Command6"},
        "Bilet Makinesi 144:\n"
        "  2. komut: bekleyen kişi 999, tekrar 2\n"
        "  bilet düzeni alınmadı\n");
    row("Bilet Datası, a Turkish letter", {"Text5=131", "Text11=222", "Text10=10", "Text12=3"}, {"Command15"},
        "Bilet Makinesi 131:\n"
        "  bilet datası: adres 10 = 'Ş' (222), sıra no 3\n"
        "  bilet düzeni alınmadı\n");
    row("both commands and a data load",
        {"Text5=140", "Text6=7", "Text13=2", "Text4=3", "Text17=1", "Text11=65", "Text10=20", "Text12=1"},
        {"Command9", "Command6", "Command15"},
        "Bilet Makinesi 140:\n"
        "  1. komut: bilet numarası 7, kaçıncı bilet 2\n"
        "  2. komut: bekleyen kişi 3, tekrar 1\n"
        "  bilet datası: adres 20 = 'A' (65), sıra no 1\n"
        "  bilet düzeni alınmadı\n");

    // General commands
    row("Global Reset after a number", {"Text1=5", "Text2=300"}, {"Command2", "Command3"},
        "El Terminali 5: reset 1 kez\n"
        "Global reset: 1 kez\n");
    row("Adres Yükle", {"Text20=130"}, {"Adres_Yukle"}, "Yüklenen adres: 130\n");
    row("Adres Yükle 0", {"Text20=0"}, {"Adres_Yukle"}, "Yüklenen adres: 0\n");

    // Main board
    row("KU enable, arrow up, scroll delay", {"Text14=201", "Text15=5", "Text19=12"},
        {"Command26", "Command27", "Command36"},
        "Ana Tablo 201: KU 5 enable, KU 5 Yukarı Yön Oku Göster, kaydırma gecikmesi 12 sn\n");
    row("last board: KU disabled, arrow right then off", {"Text14=244", "Text15=17"},
        {"Command26", "Command21", "Command24", "Command22"}, "Ana Tablo 244: KU 17 disable, KU 17 Yön Okunu Kapat\n");
    row("left arrow on board 220", {"Text14=220", "Text15=3"}, {"Command23"},
        "Ana Tablo 220: KU 3 Sola Yön Oku Göster\n");

    // Chime
    row("Ding-Dong AÇIK", {}, {"Command34"}, "Ding-Dong Zil: açık\n");
    row("Ding-Dong AÇIK then KAPALI", {}, {"Command34", "Command28"}, "Ding-Dong Zil: kapalı\n");
}

void EndToEndTest::panels() {
    QFETCH(QStringList, fields);
    QFETCH(QStringList, buttons);
    QFETCH(QString, status);

    Simulator sim;
    const QByteArray path = sim.linePath();
    QVERIFY2(!path.isEmpty(), qPrintable(sim.output()));
    Console console(path);
    QVERIFY(console.opened);
    QVERIFY(console.typeAll(fields));
    for (const QString& button : buttons) QVERIFY2(console.click(console.menu, button), qPrintable(button));

    QTRY_COMPARE_WITH_TIMEOUT(sim.framesReceived(), static_cast<int>(buttons.size()), kWait);
    sim.askStatus();
    QTRY_COMPARE_WITH_TIMEOUT(sim.status(), Simulator::lines(status), kWait);
    QVERIFY2(!sim.output().contains("çerçeve oluşturmayan"), qPrintable(sim.output()));
    QCOMPARE(console.feedback.messages, QStringList{});
}

// A first ticket command from the main window, then the whole ticket from the
// ticket window: lines typed and ticked, fonts chosen in the font window or
// left in the window's members, font boxes ticked, "GÖNDER".
void EndToEndTest::ticket_transfer_data() {
    QTest::addColumn<QString>("machine");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QList<TicketLine>>("lines");  // controls 0, 1, 2, 3, 6, 7
    QTest::addColumn<QList<FontChoice>>("choices");
    QTest::addColumn<QList<int>>("members");  // the eight values, when set directly
    QTest::addColumn<QList<bool>>("fontTicks");  // Check2..Check9
    QTest::addColumn<QString>("status");

    QTest::newRow("fonts from Font Seç, some boxes ticked")
        << "131" << "42"
        << QList<TicketLine>{{true, "ŞEHİR HASTANESİ"}, {false, "gizli satır"}, {true, "Poliklinik"},
                             {false, ""},                {false, ""},           {true, "Ğ ığüşöç İÇÖÜ"}}
        << QList<FontChoice>{{"Command3", true, true, true, false, false, 0, 0},
                             {"Command4", false, false, false, true, false, 1, 2},
                             {"Command5", true, true, false, false, false, 3, 3},
                             {"Command6", false, false, false, false, true, 0, 0}}
        << QList<int>{} << QList<bool>{true, true, true, true, false, false, true, false}
        << QString::fromUtf8("Bilet Makinesi 131:\n"
                             "  1. komut: bilet numarası 42, kaçıncı bilet 1\n"
                             "  Bilet:\n"
                             "    ŞEHİR HASTANES    [Font B, kalın, 2x yükseklik]\n"
                             "    Poliklinik        [Font B, kalın, 2x yükseklik]\n"
                             "    Ğ ığüşöç İÇÖÜ     [Font A, 2x yükseklik, 3x genişlik]\n"
                             "    Bilet No: 42      [Font A]\n"
                             "    GG.AA.YYYY SS:DD  [Font A, altı çizili]\n");

    QTest::newRow("members set, every box ticked, an empty line")
        << "144" << "65535"
        << QList<TicketLine>{{true, "ABCDEFGHIJKLMNOP"}, {true, ""},       {false, "yok"},
                             {true, "çğıöşü ÇĞIÖŞÜ"},    {true, "€ 5,00"}, {false, "VEZNE"}}
        << QList<FontChoice>{} << QList<int>{0, 17, 129, 0, 40, 112, 185, 7} << QList<bool>(8, true)
        << QString::fromUtf8("Bilet Makinesi 144:\n"
                             "  1. komut: bilet numarası 65535, kaçıncı bilet 1\n"
                             "  Bilet:\n"
                             "    ABCDEFGHIJKLMN    [Font A, 2x yükseklik, 2x genişlik]\n"
                             "                      [Font A, 2x yükseklik, 2x genişlik]\n"
                             "    çğıöşü ÇĞIÖŞÜ     [Font A, 2x yükseklik, 2x genişlik]\n"
                             "    € 5,00            [Font B, altı çizili]\n"
                             "    Bilet No: 65535   [Font A, kalın, 8x genişlik]\n"
                             "    GG.AA.YYYY SS:DD  [Font B, kalın, 8x yükseklik, 2x genişlik, altı çizili]\n");
}

void EndToEndTest::ticket_transfer() {
    QFETCH(QString, machine);
    QFETCH(QString, number);
    QFETCH(QList<TicketLine>, lines);
    QFETCH(QList<FontChoice>, choices);
    QFETCH(QList<int>, members);
    QFETCH(QList<bool>, fontTicks);
    QFETCH(QString, status);

    Simulator sim;
    const QByteArray path = sim.linePath();
    QVERIFY2(!path.isEmpty(), qPrintable(sim.output()));
    Console console(path);
    QVERIFY(console.opened);
    QVERIFY(console.typeAll({"Text5=" + machine, "Text6=" + number, "Text13=1"}));
    QVERIFY(console.click(console.menu, "Command9"));  // "1. Komut"

    QVERIFY(console.click(console.menu, "Command29"));  // to the ticket window
    BiletAyarlama& bilet = console.windows.biletAyarlama();
    QVERIFY(QTest::qWaitForWindowExposed(&bilet));
    const int controls[] = {0, 1, 2, 3, 6, 7};
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QVERIFY(Console::type(bilet.Text1(controls[i]), lines[i].text));
        QVERIFY(Console::tick(bilet, bilet.Check1(controls[i])->objectName(), lines[i].ticked));
    }

    Font_Ayarla& font = console.windows.fontAyarla();
    for (const FontChoice& choice : choices) {
        QVERIFY(Console::click(bilet, choice.button));
        QVERIFY(QTest::qWaitForWindowExposed(&font));
        QVERIFY(Console::tick(font, choice.font_b ? "Font_A_B_1" : "Font_A_B_0", true));
        QVERIFY(Console::tick(font, "Emphasized_Mode", choice.emphasized));
        QVERIFY(Console::tick(font, "Double_Height", choice.double_height));
        QVERIFY(Console::tick(font, "Double_Width", choice.double_width));
        QVERIFY(Console::tick(font, "Underline", choice.underline));
        QVERIFY(Console::tick(font, QStringLiteral("Option1_%1").arg(choice.height), true));
        QVERIFY(Console::tick(font, QStringLiteral("Option2_%1").arg(choice.width), true));
        QVERIFY(Console::click(font, "Command3"));  // "Font Seç"
        QVERIFY(Console::click(font, "Command1"));  // "Geri Dön"
        QVERIFY(QTest::qWaitForWindowExposed(&bilet));
    }
    if (!members.isEmpty()) {
        qint16* const values[8] = {&bilet.font_kurum_ismi_1,     &bilet.font_kurum_ismi_2,
                                   &bilet.font_buton_ismi_1,     &bilet.font_buton_ismi_2,
                                   &bilet.font_bilet_numarasi_1, &bilet.font_bilet_numarasi_2,
                                   &bilet.font_tarih_saat_1,     &bilet.font_tarih_saat_2};
        for (int slot = 0; slot < 8; ++slot) *values[slot] = static_cast<qint16>(members[slot]);
    }
    for (int slot = 0; slot < 8; ++slot) {
        QVERIFY(Console::tick(bilet, QStringLiteral("Check%1").arg(slot + 2), fontTicks[slot]));
    }
    QVERIFY(Console::type(Console::find<QLineEdit>(bilet, "Text5"), machine));
    QVERIFY(Console::click(bilet, "BiletBilgisiGönder"));

    const int frames = 1 + kTicketCharacterFrames + static_cast<int>(fontTicks.count(true));
    QTRY_COMPARE_WITH_TIMEOUT(sim.framesReceived(), frames, kWait);
    sim.askStatus();
    QTRY_COMPARE_WITH_TIMEOUT(sim.status(), Simulator::lines(status), kWait);
    QVERIFY2(!sim.output().contains("çerçeve oluşturmayan"), qPrintable(sim.output()));
    QCOMPARE(console.feedback.messages, QStringList{});
}

QTEST_MAIN(EndToEndTest)
#include "tst_end_to_end.moc"
