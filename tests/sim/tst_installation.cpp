// The state the devices hold after the console's frames, and its printout.
#include <QTest>

#include "protocol/commands.h"
#include "protocol/ticket.h"
#include "sim/installation.h"

using namespace vela;
using namespace vela::sim;

namespace {

using Frames = std::vector<Frame>;

Frames operator+(Frames frames, const Sequence& steps) {
    for (const Step& step : steps) frames.push_back(step.frame);
    return frames;
}

Frames operator+(Frames frames, const Frame& frame) {
    frames.push_back(frame);
    return frames;
}

QStringList status_lines(const Frames& frames) {
    Installation installation;
    for (const Frame& frame : frames) installation.apply(frame);
    return QString::fromStdString(installation.status_text()).split('\n', Qt::SkipEmptyParts);
}

TicketLayout printed_layout() {
    TicketLayout layout;
    layout.institution[0] = {true, "ŞEHİR HASTANESİ"};  // 15 characters: the last is cut
    layout.institution[2] = {true, "Poliklinik"};
    layout.button[1] = {true, "VEZNE"};
    layout.fonts = {25, 0, 8, 17, 0, 0, 128, 0};
    layout.font_ticked = {true, true, true, true, false, false, true, false};
    return layout;
}

}  // namespace

Q_DECLARE_METATYPE(Frames)

class InstallationTest : public QObject {
    Q_OBJECT
private slots:
    void status_data();
    void status();
    void line_font_data();
    void line_font();
};

// The frames in order, and every line of the printout after "DURUM".
void InstallationTest::status_data() {
    QTest::addColumn<Frames>("frames");
    QTest::addColumn<QStringList>("lines");
    const auto row = [](const char* name, const Frames& frames, const char* lines) {
        QTest::newRow(name) << frames << QString::fromUtf8(lines).split('\n', Qt::SkipEmptyParts);
    };
    row("nothing heard", {Komut_Cercevesi(99, 0, 0, 0, 1)}, "Henüz hiçbir cihaza komut gelmedi.");
    row("hand terminal settings",
        {hand_terminal::show_number(2, 7), hand_terminal::waiting_count(2, 12), hand_terminal::flash_count(2, 3),
         hand_terminal::scroll_time(2, 1, 30), hand_terminal::display_dashes(2)},
        "El Terminali 2: sayı 7, bekleyen 12, flash 3, kaydırma 1 dk 30 sn, "
        "display çizgi (---)");
    row("nobody waiting, display off",
        {hand_terminal::show_number(2, 7), hand_terminal::waiting_count(2, 12), hand_terminal::nobody_waiting(2),
         hand_terminal::display_off(2)},
        "El Terminali 2: sayı 7, bekleyen yok, display kapalı");
    row("reset clears a terminal", {hand_terminal::show_number(2, 7), hand_terminal::reset(2)},
        "El Terminali 2: reset 1 kez");
    // A longer text first: the shorter one that follows ends at its length.
    row("dot matrix holds AB", Frames{} + *dot_matrix::text_transfer(5, "ABCD") + *dot_matrix::text_transfer(5, "AB"),
        "Dot Matrix Display 5: metin \"AB\", uzunluk 2, mod Display Açma Komutu");
    row("dot matrix settings, no text length yet",
        {Karakter_Cercevesi(221, 1, 9), dot_matrix::arrow(9, Arrow::Right), dot_matrix::brightness(9, 7),
         dot_matrix::frequencies(9, 10, 20), dot_matrix::buffer_length(9, 255)},
        "Dot Matrix Display 9: metin \"İ\", ok Sağa Yön Oku Göster, parlaklık 7, "
        "frekans sabit 10 kayan 20, buffer uzunluğu 255");
    row("ticket layout printed",
        Frames{} + *ticket_transfer(129, printed_layout()) + ticket_machine::first_ticket(129, 42, 1),
        "Bilet Makinesi 129:\n"
        "  1. komut: bilet numarası 42, kaçıncı bilet 1\n"
        "  Bilet:\n"
        "    ŞEHİR HASTANES    [Font B, kalın, 2x yükseklik]\n"
        "    Poliklinik        [Font B, kalın, 2x yükseklik]\n"
        "    VEZNE             [Font A, kalın, 2x yükseklik, 2x genişlik]\n"
        "    Bilet No: 42      [Font A]\n"
        "    GG.AA.YYYY SS:DD  [Font A, altı çizili]");
    row("unticked lines not printed", Frames{} + *ticket_transfer(130, TicketLayout{}),
        "Bilet Makinesi 130:\n  Bilet:\n    Bilet No: ---     [Font A]\n    GG.AA.YYYY SS:DD  [Font A]");
    row("ticket commands and data",
        {ticket_machine::second_ticket(144, 999, 2), ticket_machine::no_ticket(144), ticket_machine::no_ticket(144),
         ticket_machine::load_ticket_data(144, 65, 10, 3)},
        "Bilet Makinesi 144:\n  2. komut: bekleyen kişi 999, tekrar 2\n  bilet yok: 2 kez\n"
        "  bilet datası: adres 10 = 'A' (65), sıra no 3\n  bilet düzeni alınmadı");
    row("main board and chime",
        {main_board::ku_enable(201, 5), main_board::ku_disable(201, 6), main_board::arrow(201, 5, Arrow::Up),
         main_board::scroll_delay(201, 10), chime::on(), chime::off()},
        "Ana Tablo 201: KU 5 enable, KU 6 disable, KU 5 Yukarı Yön Oku Göster, "
        "kaydırma gecikmesi 10 sn\n"
        "Ding-Dong Zil: kapalı");
    row("global reset and address",
        {hand_terminal::show_number(1, 5), hand_terminal::show_number(2, 6), general::global_reset(),
         general::load_address(130)},
        "El Terminali 1: reset 1 kez\nEl Terminali 2: reset 1 kez\nGlobal reset: 1 kez\nYüklenen adres: 130");
}

void InstallationTest::status() {
    QFETCH(Frames, frames);
    QFETCH(QStringList, lines);
    QCOMPARE(status_lines(frames), QStringList{"DURUM"} + lines);
}

void InstallationTest::line_font_data() {
    QTest::addColumn<int>("esc");
    QTest::addColumn<int>("gs");
    QTest::addColumn<QString>("font");
    QTest::newRow("plain") << 0 << 0 << "[Font A]";
    QTest::newRow("everything of ESC !") << 185 << 0 << "[Font B, kalın, 2x yükseklik, 2x genişlik, altı çizili]";
    QTest::newRow("GS ! beats double height") << 16 << 2 << "[Font A, 3x yükseklik]";
    QTest::newRow("largest GS !") << 0 << 119 << "[Font A, 8x yükseklik, 8x genişlik]";
}

void InstallationTest::line_font() {
    QFETCH(int, esc);
    QFETCH(int, gs);
    QFETCH(QString, font);
    const QStringList lines = status_lines({Komut_Cercevesi(30, 3, static_cast<Byte>(esc), 0, 129),
                                            Komut_Cercevesi(30, 4, static_cast<Byte>(gs), 0, 129),
                                            Komut_Cercevesi(32, 0, 15, 10, 129)});  // an empty ticked button line
    QCOMPARE(lines.at(3), "                      " + font);
}

QTEST_APPLESS_MAIN(InstallationTest)
#include "tst_installation.moc"
