// Every frame the console sends, named for the device type its code and
// address select, with its parameters decoded (tst_sim_script's log holds
// more: SAYI GÖNDER, display modes, KARAKTER, METİN UZUNLUĞU).
#include <QTest>

#include "protocol/commands.h"
#include "protocol/ticket.h"
#include "sim/frame_meaning.h"

using namespace vela;
using namespace vela::sim;

Q_DECLARE_METATYPE(vela::Frame)

class FrameMeaningTest : public QObject {
    Q_OBJECT
private slots:
    void meaning_data();
    void meaning();
    void device_type_data();
    void device_type();
};

void FrameMeaningTest::meaning_data() {
    QTest::addColumn<Frame>("frame");
    QTest::addColumn<QString>("meaning");
    const auto row = [](const char* name, const Frame& frame, const char* meaning) {
        QTest::newRow(name) << frame << QString::fromUtf8(meaning);
    };
    row("terminal reset", hand_terminal::reset(5), "El Terminali 5: RESET");
    row("nobody waiting", hand_terminal::nobody_waiting(0), "El Terminali 0: BEKLEYEN YOK");
    row("waiting 256", hand_terminal::waiting_count(2, 256), "El Terminali 2: BEKLEYEN KİŞİ SAYISI 256");
    row("flash", hand_terminal::flash_count(3, 7), "El Terminali 3: FLASH SAYISI 7");
    row("display off", hand_terminal::display_off(32), "El Terminali 32: DISPLAY KAPATMA");
    row("dashes", hand_terminal::display_dashes(4), "El Terminali 4: DISPLAY ÇİZGİ YAPMA (---)");
    row("display on", hand_terminal::display_on(4), "El Terminali 4: DISPLAY AÇMA");
    row("scroll time, seconds first", hand_terminal::scroll_time(3, 1, 30),
        "El Terminali 3: KAYDIRMA SÜRESİ 1 dakika 30 saniye");
    row("first ticket", ticket_machine::first_ticket(130, 300, 1),
        "Bilet Makinesi 130: BİLET GÖNDER 1. KOMUT: bilet numarası 300, kaçıncı bilet 1");
    row("second ticket", ticket_machine::second_ticket(144, 999, 200),
        "Bilet Makinesi 144: BİLET GÖNDER 2. KOMUT: bekleyen kişi 999, tekrar 200");
    row("no ticket", ticket_machine::no_ticket(130), "Bilet Makinesi 130: BİLET YOK");
    row("ticket data", ticket_machine::load_ticket_data(130, 65, 10, 3),
        "Bilet Makinesi 130: BİLET DATASI YÜKLE: data 65, adres 10, sıra no 3");
    row("institution Turkish character", Komut_Cercevesi(31, 3, 2, 221, 129),
        "Bilet Makinesi 129: KURUM İSMİ 4. satır, pozisyon 2: 'İ' (221)");
    row("institution line feed", Komut_Cercevesi(31, 0, 15, 10, 129),
        "Bilet Makinesi 129: KURUM İSMİ 1. satır, pozisyon 15: satır sonu (10)");
    row("button character empty", Komut_Cercevesi(32, 1, 0, 0, 129),
        "Bilet Makinesi 129: BUTON İSMİ 2. satır, pozisyon 0: boş (0)");
    row("font slot 1", Komut_Cercevesi(30, 1, 185, 0, 129),
        "Bilet Makinesi 129: FONT 1 (kurum ismi, ESC ! 185): Font B, kalın, 2x yükseklik, "
        "2x genişlik, altı çizili");
    row("font slot 4", Komut_Cercevesi(30, 4, 119, 0, 129),
        "Bilet Makinesi 129: FONT 4 (buton ismi, GS ! 119): 8x yükseklik, 8x genişlik");
    row("font slot 9", Komut_Cercevesi(30, 9, 5, 0, 129),
        "Bilet Makinesi 129: FONT 9: bilinmeyen font yuvası, değer 5");
    row("global reset", general::global_reset(), "GENEL: GLOBAL RESET");
    row("address load", general::load_address(130), "GENEL: ADRES YÜKLE: adres 130");
    row("KU enable", main_board::ku_enable(201, 5), "Ana Tablo 201: KU 5 ENABLE");
    row("KU disable", main_board::ku_disable(244, 32), "Ana Tablo 244: KU 32 DISABLE");
    row("board arrow up", main_board::arrow(201, 5, Arrow::Up), "Ana Tablo 201: KU 5: Yukarı Yön Oku Göster");
    row("board scroll delay", main_board::scroll_delay(244, 10),
        "Ana Tablo 244: KAYDIRMA GECİKME SÜRESİ 10 saniye");
    row("chime on", chime::on(), "Ding-Dong Zil: Ding-Dong AÇIK");
    row("chime off", chime::off(), "Ding-Dong Zil: Ding-Dong KAPALI");
    row("display mode 10", Komut_Cercevesi(21, 10, 0, 0, 5), "Dot Matrix Display 5: bilinmeyen mod 10");
    row("display arrow left", dot_matrix::arrow(5, Arrow::Left), "Dot Matrix Display 5: Sola Yön Oku Göster");
    row("buffer length", dot_matrix::buffer_length(1, 255), "Dot Matrix Display 1: BUFFER UZUNLUĞU 255");
    row("frequencies", dot_matrix::frequencies(3, 10, 20), "Dot Matrix Display 3: FREKANS sabit 10, kayan 20");
    row("brightness", dot_matrix::brightness(3, 7), "Dot Matrix Display 3: PARLAKLIK 7");
    row("unknown code", Komut_Cercevesi(99, 0, 0, 0, 5), "Adres 5 (adres aralık dışında): bilinmeyen komut (kod 99)");
    row("ticket to machine 0", ticket_machine::first_ticket(0, 1, 0),
        "Bilet Makinesi 0 (adres aralık dışında): BİLET GÖNDER 1. KOMUT: bilet numarası 1, kaçıncı bilet 0");
}

void FrameMeaningTest::meaning() {
    QFETCH(Frame, frame);
    QFETCH(QString, meaning);
    QCOMPARE(QString::fromStdString(frame_meaning(frame)), meaning);
}

// Codes shared by two device types go to the one whose range holds the address.
void FrameMeaningTest::device_type_data() {
    QTest::addColumn<Frame>("frame");
    QTest::addColumn<int>("device");
    QTest::addColumn<bool>("in_range");
    QTest::newRow("31 to terminal 32") << hand_terminal::flash_count(32, 1) << int(Device::HandTerminal) << true;
    QTest::newRow("31 to machine 129") << Komut_Cercevesi(31, 0, 0, 0, 129) << int(Device::TicketMachine) << true;
    QTest::newRow("34 to board 201") << main_board::scroll_delay(201, 1) << int(Device::MainBoard) << true;
    QTest::newRow("34 to 100") << Komut_Cercevesi(34, 0, 0, 0, 100) << int(Device::HandTerminal) << false;
    QTest::newRow("85 to 0 is global") << general::global_reset() << int(Device::Everyone) << true;
    QTest::newRow("85 without pattern") << Komut_Cercevesi(85, 0, 0, 0, 1) << int(Device::Unknown) << false;
    QTest::newRow("21 to 48") << dot_matrix::mode(48, dot_matrix::Mode::DisplayOn) << int(Device::DotMatrix) << true;
    QTest::newRow("21 to 49") << dot_matrix::mode(49, dot_matrix::Mode::DisplayOn) << int(Device::DotMatrix) << false;
    QTest::newRow("29 to 0") << chime::on() << int(Device::Chime) << true;
    QTest::newRow("29 to 3") << Komut_Cercevesi(29, 1, 0, 0, 3) << int(Device::Chime) << false;
    QTest::newRow("28 to 245") << main_board::arrow(245, 1, Arrow::Up) << int(Device::MainBoard) << false;
}

void FrameMeaningTest::device_type() {
    QFETCH(Frame, frame);
    QFETCH(int, device);
    QFETCH(bool, in_range);
    const Addressee to = addressee_of(frame);
    QCOMPARE(int(to.device), device);
    QCOMPARE(to.in_range, in_range);
}

QTEST_APPLESS_MAIN(FrameMeaningTest)
#include "tst_frame_meaning.moc"
