// The state the devices hold after the console's frames, and its printout.
#include <QTest>

#include "protocol/commands.h"
#include "protocol/ticket.h"
#include "sim/installation.h"

using namespace vela;
using namespace vela::sim;

namespace {

void apply_all(Installation& installation, const Sequence& steps) {
    for (const Step& step : steps) installation.apply(step.frame);
}

QStringList status_lines(const Installation& installation) {
    return QString::fromStdString(installation.status_text()).split('\n', Qt::SkipEmptyParts);
}

}  // namespace

class InstallationTest : public QObject {
    Q_OBJECT
private slots:
    void hand_terminal_shows_300();
    void hand_terminal_settings_and_reset();
    void dot_matrix_holds_ab();
    void dot_matrix_settings();
    void ticket_layout_is_printed();
    void unticked_lines_are_not_printed();
    void ticket_commands_and_data();
    void main_board_and_chime();
    void global_reset_and_address();
    void nothing_heard();
    void line_font_data();
    void line_font();
};

void InstallationTest::hand_terminal_shows_300() {
    Installation installation;
    installation.apply(hand_terminal::show_number(5, 300));
    QCOMPARE(installation.hand_terminals().at(5).number, std::optional<int>(300));
    QCOMPARE(status_lines(installation), (QStringList{"DURUM", "El Terminali 5: sayı 300"}));
}

void InstallationTest::hand_terminal_settings_and_reset() {
    Installation installation;
    installation.apply(hand_terminal::show_number(2, 7));
    installation.apply(hand_terminal::waiting_count(2, 12));
    installation.apply(hand_terminal::flash_count(2, 3));
    installation.apply(hand_terminal::scroll_time(2, 1, 30));
    installation.apply(hand_terminal::display_dashes(2));
    QCOMPARE(status_lines(installation).at(1),
             QString::fromUtf8("El Terminali 2: sayı 7, bekleyen 12, flash 3, kaydırma 1 dk 30 sn, "
                               "display çizgi (---)"));
    installation.apply(hand_terminal::nobody_waiting(2));
    installation.apply(hand_terminal::display_off(2));
    QCOMPARE(status_lines(installation).at(1),
             QString::fromUtf8("El Terminali 2: sayı 7, bekleyen yok, flash 3, kaydırma 1 dk 30 sn, "
                               "display kapalı"));
    installation.apply(hand_terminal::reset(2));
    QCOMPARE(status_lines(installation).at(1), QString::fromUtf8("El Terminali 2: reset 1 kez"));
}

void InstallationTest::dot_matrix_holds_ab() {
    Installation installation;
    // A longer text first: the shorter one that follows ends at its length.
    apply_all(installation, *dot_matrix::text_transfer(5, "ABCD"));
    apply_all(installation, *dot_matrix::text_transfer(5, "AB"));
    QCOMPARE(installation.dot_matrices().at(5).text(), std::string("AB"));
    QCOMPARE(status_lines(installation).at(1),
             QString::fromUtf8("Dot Matrix Display 5: metin \"AB\", uzunluk 2, mod Display Açma Komutu"));
}

void InstallationTest::dot_matrix_settings() {
    Installation installation;
    installation.apply(Karakter_Cercevesi(221, 1, 9));  // İ, no text length yet
    installation.apply(dot_matrix::arrow(9, Arrow::Right));
    installation.apply(dot_matrix::brightness(9, 7));
    installation.apply(dot_matrix::frequencies(9, 10, 20));
    installation.apply(dot_matrix::buffer_length(9, 255));
    QCOMPARE(status_lines(installation).at(1),
             QString::fromUtf8("Dot Matrix Display 9: metin \"İ\", ok Sağa Yön Oku Göster, parlaklık 7, "
                               "frekans sabit 10 kayan 20, buffer uzunluğu 255"));
}

void InstallationTest::ticket_layout_is_printed() {
    TicketLayout layout;
    layout.institution[0] = {true, "ŞEHİR HASTANESİ"};  // 15 characters: the last is cut
    layout.institution[2] = {true, "Poliklinik"};
    layout.button[1] = {true, "VEZNE"};
    layout.fonts = {25, 0, 8, 17, 0, 0, 128, 0};
    layout.font_ticked = {true, true, true, true, false, false, true, false};
    Installation installation;
    apply_all(installation, *ticket_transfer(129, layout));
    installation.apply(ticket_machine::first_ticket(129, 42, 1));
    const QStringList expected = {
        "DURUM",
        "Bilet Makinesi 129:",
        "  1. komut: bilet numarası 42, kaçıncı bilet 1",
        "  Bilet:",
        "    ŞEHİR HASTANES    [Font B, kalın, 2x yükseklik]",
        "    Poliklinik        [Font B, kalın, 2x yükseklik]",
        "    VEZNE             [Font A, kalın, 2x yükseklik, 2x genişlik]",
        "    Bilet No: 42      [Font A]",
        "    GG.AA.YYYY SS:DD  [Font A, altı çizili]",
    };
    QCOMPARE(status_lines(installation), expected);
}

void InstallationTest::unticked_lines_are_not_printed() {
    Installation installation;
    apply_all(installation, *ticket_transfer(130, TicketLayout{}));
    const QStringList lines = status_lines(installation);
    QCOMPARE(lines.mid(2), (QStringList{"  Bilet:", "    Bilet No: ---     [Font A]",
                                        "    GG.AA.YYYY SS:DD  [Font A]"}));
}

void InstallationTest::ticket_commands_and_data() {
    Installation installation;
    installation.apply(ticket_machine::second_ticket(144, 999, 2));
    installation.apply(ticket_machine::no_ticket(144));
    installation.apply(ticket_machine::no_ticket(144));
    installation.apply(ticket_machine::load_ticket_data(144, 65, 10, 3));
    QCOMPARE(status_lines(installation).mid(1),
             QStringList({"Bilet Makinesi 144:", "  2. komut: bekleyen kişi 999, tekrar 2",
                          "  bilet yok: 2 kez", "  bilet datası: adres 10 = 'A' (65), sıra no 3",
                          "  bilet düzeni alınmadı"}));
}

void InstallationTest::main_board_and_chime() {
    Installation installation;
    installation.apply(main_board::ku_enable(201, 5));
    installation.apply(main_board::ku_disable(201, 6));
    installation.apply(main_board::arrow(201, 5, Arrow::Up));
    installation.apply(main_board::scroll_delay(201, 10));
    installation.apply(chime::on());
    installation.apply(chime::off());
    QCOMPARE(status_lines(installation).mid(1),
             QStringList({"Ana Tablo 201: KU 5 enable, KU 6 disable, KU 5 Yukarı Yön Oku Göster, "
                          "kaydırma gecikmesi 10 sn",
                          "Ding-Dong Zil: kapalı"}));
}

void InstallationTest::global_reset_and_address() {
    Installation installation;
    installation.apply(hand_terminal::show_number(1, 5));
    installation.apply(hand_terminal::show_number(2, 6));
    installation.apply(general::global_reset());
    installation.apply(general::load_address(130));
    QCOMPARE(status_lines(installation).mid(1),
             QStringList({"El Terminali 1: reset 1 kez", "El Terminali 2: reset 1 kez",
                          "Global reset: 1 kez", "Yüklenen adres: 130"}));
}

void InstallationTest::nothing_heard() {
    Installation installation;
    installation.apply(Komut_Cercevesi(99, 0, 0, 0, 1));
    QCOMPARE(status_lines(installation), (QStringList{"DURUM", "Henüz hiçbir cihaza komut gelmedi."}));
}

void InstallationTest::line_font_data() {
    QTest::addColumn<int>("esc");
    QTest::addColumn<int>("gs");
    QTest::addColumn<QString>("font");
    QTest::newRow("plain") << 0 << 0 << "[Font A]";
    QTest::newRow("everything of ESC !") << 185 << 0
                                         << "[Font B, kalın, 2x yükseklik, 2x genişlik, altı çizili]";
    QTest::newRow("GS ! height 3") << 0 << 2 << "[Font A, 3x yükseklik]";
    QTest::newRow("GS ! width 3") << 0 << 32 << "[Font A, 3x genişlik]";
    QTest::newRow("GS ! beats double height") << 16 << 2 << "[Font A, 3x yükseklik]";
    QTest::newRow("largest GS !") << 0 << 119 << "[Font A, 8x yükseklik, 8x genişlik]";
}

void InstallationTest::line_font() {
    QFETCH(int, esc);
    QFETCH(int, gs);
    QFETCH(QString, font);
    Installation installation;
    installation.apply(Komut_Cercevesi(30, 3, static_cast<Byte>(esc), 0, 129));
    installation.apply(Komut_Cercevesi(30, 4, static_cast<Byte>(gs), 0, 129));
    installation.apply(Komut_Cercevesi(32, 0, 15, 10, 129));  // an empty ticked button line
    const QStringList lines = status_lines(installation);
    QCOMPARE(lines.at(3), "                      " + font);
}

QTEST_APPLESS_MAIN(InstallationTest)
#include "tst_installation.moc"
