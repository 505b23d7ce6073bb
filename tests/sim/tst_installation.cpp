// What the simulator makes of the console's frames: each frame's meaning,
// and the state the devices hold, as the "durum" printout shows it.
#include <QTest>

#include "sim/frame_meaning.h"
#include "sim/installation.h"

using namespace vela;
using Frames = std::vector<Frame>;

class InstallationTest : public QObject {
    Q_OBJECT
private slots:
    // Each command's text, and the device named with its number, marked when
    // out of its type's range.
    void meaning_data() {
        QTest::addColumn<Frame>("frame");
        QTest::addColumn<QString>("meaning");
        const auto row = [](const Frame& frame, const char* meaning) {
            QTest::newRow(meaning) << frame << QString::fromUtf8(meaning);
        };
        const auto f = Komut_Cercevesi;
        row(f(34, 30, 1, 0, 3), "El Terminali 3: KAYDIRMA SÜRESİ 1 dakika 30 saniye");
        row(f(31, 7, 0, 0, 32), "El Terminali 32: FLASH SAYISI 7");
        row(f(85, 0, 0, 0, 1), "Adres 1 (adres aralık dışında): bilinmeyen komut (kod 85)");
        row(f(15, 44, 1, 1, 130), "Bilet Makinesi 130: BİLET GÖNDER 1. KOMUT: bilet numarası 300, kaçıncı bilet 1");
        row(f(31, 3, 2, 221, 129), "Bilet Makinesi 129: KURUM İSMİ 4. satır, pozisyon 2: 'İ' (221)");
        row(f(32, 0, 15, 10, 129), "Bilet Makinesi 129: BUTON İSMİ 1. satır, pozisyon 15: satır sonu (10)");
        row(f(30, 1, 185, 0, 129),
            "Bilet Makinesi 129: FONT 1 (kurum ismi, ESC ! 185): Font B, kalın, 2x yükseklik, 2x genişlik, altı "
            "çizili");
        row(f(30, 4, 119, 0, 129), "Bilet Makinesi 129: FONT 4 (buton ismi, GS ! 119): 8x yükseklik, 8x genişlik");
        row(f(30, 9, 1, 0, 129), "Bilet Makinesi 129: FONT 9: bilinmeyen font yuvası, değer 1");
        row(f(85, 170, 85, 170, 0), "GENEL: GLOBAL RESET");
        row(f(36, 85, 170, 85, 130), "GENEL: ADRES YÜKLE: adres 130");
        row(f(27, 6, 9, 0, 201), "Ana Tablo 201: KU 6: bilinmeyen değer 9");
        row(f(28, 1, 1, 0, 245), "Ana Tablo 245 (adres aralık dışında): KU 1: Yukarı Yön Oku Göster");
        row(f(29, 1, 0, 0, 3), "Ding-Dong Zil (adres aralık dışında): Ding-Dong AÇIK");
        row(f(20, 0, 254, 65, 9), "Dot Matrix Display 9: KARAKTER, pozisyon 254: 'A' (65)");
        row(f(21, 4, 0, 0, 49), "Dot Matrix Display 49 (adres aralık dışında): Display Açma Komutu");
    }
    void meaning() {
        QFETCH(Frame, frame);
        QFETCH(QString, meaning);
        QCOMPARE(QString::fromStdString(sim::frame_meaning(decode_command(frame).value()).text()), meaning);
    }

    void status_data() {
        QTest::addColumn<Frames>("frames");
        QTest::addColumn<QString>("lines");
        const auto f = Komut_Cercevesi;
        QTest::newRow("terminal") << Frames{f(2, 7, 0, 0, 2), f(8, 12, 0, 0, 2), f(31, 3, 0, 0, 2), f(34, 30, 1, 0, 2),
                                            f(5, 0, 0, 0, 2), f(9, 0, 0, 85, 7), f(4, 0, 0, 0, 7)}
                                  << "El Terminali 2: sayı 7, bekleyen 12, flash 3, kaydırma 1 dk 30 sn, "
                                     "display çizgi (---)\nEl Terminali 7: bekleyen yok, display kapalı\n";
        // "ABCD", then the shorter "xy": shown up to the new length.
        const Frames text = {f(20, 0, 0, 65, 5), f(20, 0, 1, 66, 5),  f(20, 0, 2, 67, 5),  f(20, 0, 3, 68, 5),
                             f(41, 0, 4, 0, 5),  f(20, 0, 0, 120, 5), f(20, 0, 1, 121, 5), f(41, 0, 2, 0, 5),
                             f(21, 4, 0, 0, 5),  f(20, 0, 0, 221, 9), f(39, 7, 0, 0, 9)};
        QTest::newRow("dot matrix") << text
                                    << "Dot Matrix Display 5: metin \"xy\", uzunluk 2, mod Display Açma Komutu\n"
                                       "Dot Matrix Display 9: metin \"İ\", parlaklık 7\n";
        Frames ticket{f(15, 42, 0, 1, 129), f(30, 1, 24, 0, 129), f(30, 4, 2, 0, 129), f(30, 7, 128, 0, 129)};
        for (Byte p = 0; p < 16; ++p) ticket.push_back(f(31, 1, p, Byte(p == 15 ? 10 : 0xDE), 129));
        ticket.push_back(f(32, 0, 15, 10, 129));
        QTest::newRow("ticket printed") << ticket
                                        << "Bilet Makinesi 129:\n"
                                           "  1. komut: bilet numarası 42, kaçıncı bilet 1\n"
                                           "  Bilet:\n"
                                           "    ŞŞŞŞŞŞŞŞŞŞŞŞŞŞ    [Font A, kalın, 2x yükseklik]\n"
                                           "                      [Font A, 3x yükseklik]\n"
                                           "    Bilet No: 42      [Font A]\n"
                                           "    GG.AA.YYYY SS:DD  [Font A, altı çizili]\n";
        QTest::newRow("board, chime, general")
            << Frames{f(2, 5, 0, 0, 1),    f(27, 5, 1, 0, 201),    f(27, 6, 0, 0, 201),
                      f(28, 5, 1, 0, 201), f(34, 10, 0, 0, 201),   f(29, 1, 0, 0, 0),
                      f(29, 2, 0, 0, 0),   f(85, 170, 85, 170, 0), f(36, 85, 170, 85, 130)}
            << "El Terminali 1: reset 1 kez\n"
               "Ana Tablo 201: KU 5 enable, KU 6 disable, KU 5 Yukarı Yön Oku Göster, kaydırma gecikmesi 10 sn\n"
               "Ding-Dong Zil: kapalı\nGlobal reset: 1 kez\nYüklenen adres: 130\n";
    }
    void status() {
        QFETCH(Frames, frames);
        QFETCH(QString, lines);
        sim::Installation installation;
        for (const Frame& frame : frames) installation.apply(decode_command(frame).value());
        QCOMPARE(QString::fromStdString(installation.status_text()), "DURUM\n" + lines);
    }
};

QTEST_APPLESS_MAIN(InstallationTest)
#include "tst_installation.moc"
