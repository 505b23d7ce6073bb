// Every single-frame button of the main window: fields typed, the button
// clicked, the seven bytes read from the line and the sent-bytes display.
#include <QTest>

#include "tst_ana_menu_harness.h"

using namespace vela::test;

class AnaMenuPanelsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { useConsoleStyle(); }
    void sends_data();
    void sends();
    void refuses_data();
    void refuses();
};

void AnaMenuPanelsTest::sends_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("bytes");
    auto row = [](const char* name, const QStringList& fields, const char* button, const QList<int>& bytes) {
        QTest::newRow(name) << fields << QString::fromLatin1(button) << bytes;
    };

    // Hand terminal
    row("Reset Gönder T=5", {"Text1=5"}, "Command1", {170, 85, 170, 85, 170, 5, 173});
    row("Sayı Gönder 999", {"Text1=1", "Text2=999"}, "Command2", {170, 2, 231, 3, 0, 1, 151});
    row("Sayı Gönder 256", {"Text1=1", "Text2=256"}, "Command2", {170, 2, 0, 1, 0, 1, 174});
    row("Sayı Gönder 255", {"Text1=1", "Text2=255"}, "Command2", {170, 2, 255, 0, 0, 1, 172});
    row("Bekleyen Yok T=0", {"Text1=0"}, "Command4", {170, 9, 0, 0, 85, 0, 8});
    row("Bekleyen Kişi W=0", {"Text1=2", "Text3=0"}, "Command5", {170, 8, 0, 0, 0, 2, 180});
    row("Flash Sayısı", {"Text1=4", "Text16=3"}, "Command30", {170, 31, 3, 0, 0, 4, 208});
    row("Display Kapatma", {"Text1=7"}, "Command31", {170, 4, 0, 0, 0, 7, 181});
    row("Display Çizgi", {"Text1=7"}, "Command32", {170, 5, 0, 0, 0, 7, 182});
    row("Display Açma empty", {}, "Command33", {170, 6, 0, 0, 0, 0, 176});
    row("Kaydırma 1:30", {"Text1=3", "Text18=1", "Text25=30"}, "Command35", {170, 34, 30, 1, 0, 3, 238});
    row("Kaydırma 255:255", {"Text18=255", "Text25=255"}, "Command35", {170, 34, 255, 255, 0, 0, 202});
    row("field 12abc", {"Text1=12abc"}, "Command31", {170, 4, 0, 0, 0, 12, 186});
    row("field 2.5 to even", {"Text1=2.5"}, "Command31", {170, 4, 0, 0, 0, 2, 176});
    row("field letters", {"Text1=abc"}, "Command31", {170, 4, 0, 0, 0, 0, 174});

    // Ticket machine and general commands
    row("1. Komut", {"Text5=130", "Text6=300", "Text13=1"}, "Command9", hex("AA 0F 2C 01 01 82 69"));
    row("2. Komut", {"Text5=144", "Text4=999", "Text17=0"}, "Command6", hex("AA 11 E7 03 00 90 35"));
    row("Bilet Yok", {"Text5=130"}, "Command7", hex("AA 12 00 00 55 82 93"));
    row("Bilet Datası", {"Text5=130", "Text11=65", "Text10=10", "Text12=3"}, "Command15",
        hex("AA 17 41 0A 03 82 91"));
    row("1. Komut empty", {}, "Command9", hex("AA 0F 00 00 00 00 B9"));
    row("2. Komut empty", {}, "Command6", hex("AA 11 00 00 00 00 BB"));
    row("Bilet Yok empty", {}, "Command7", hex("AA 12 00 00 55 00 11"));
    row("Bilet Datası empty", {}, "Command15", hex("AA 17 00 00 00 00 C1"));
    row("1. Komut ignores Text4", {"Text4=999", "Text17=9"}, "Command9", hex("AA 0F 00 00 00 00 B9"));
    row("2. Komut ignores Text6", {"Text6=999", "Text13=9"}, "Command6", hex("AA 11 00 00 00 00 BB"));
    row("machine 130.5", {"Text5=130.5"}, "Command7", hex("AA 12 00 00 55 82 93"));
    row("machine 131.5", {"Text5=131.5"}, "Command7", hex("AA 12 00 00 55 84 95"));
    row("machine blank 7", {"Text5= 7"}, "Command7", hex("AA 12 00 00 55 07 18"));
    row("repeat 200", {"Text17=200"}, "Command6", {170, 17, 0, 0, 200, 0, 131});
    row("Global Reset", {"Text5=130", "Text20=5"}, "Command3", hex("AA 55 AA 55 AA 00 A8"));
    row("Adres Yükle empty", {}, "Adres_Yukle", hex("AA 24 55 AA 55 00 22"));
    row("Adres Yükle 130", {"Text20=130"}, "Adres_Yukle", hex("AA 24 55 AA 55 82 A4"));

    // Main board and chime
    row("KU Enable empty", {}, "Command26", hex("AA 1B 00 01 00 00 C6"));
    row("Yön Okunu Kapat empty", {}, "Command22", hex("AA 1C 00 05 00 00 CB"));
    row("Gecikme empty", {}, "Command36", hex("AA 22 00 00 00 00 CC"));
    row("Gecikme 255 s", {"Text14=201", "Text19=255"}, "Command36", hex("AA 22 FF 00 00 C9 94"));
    row("Gecikme ignores KU", {"Text14=244", "Text15=17", "Text19=10"}, "Command36", hex("AA 22 0A 00 00 F4 CA"));
    const QStringList board201ku5 = {"Text14=201", "Text15=5", "Text19=99"};
    row("KU Enable 201/5", board201ku5, "Command26", hex("AA 1B 05 01 00 C9 94"));
    row("KU Disable 201/5", board201ku5, "Command21", hex("AA 1B 05 00 00 C9 93"));
    row("up 201/5", board201ku5, "Command27", hex("AA 1C 05 01 00 C9 95"));
    row("down 201/5", board201ku5, "Command25", hex("AA 1C 05 02 00 C9 96"));
    row("right 201/5", board201ku5, "Command24", hex("AA 1C 05 03 00 C9 97"));
    row("left 201/5", board201ku5, "Command23", hex("AA 1C 05 04 00 C9 98"));
    row("arrow off 201/5", board201ku5, "Command22", hex("AA 1C 05 05 00 C9 99"));
    row("Ding-Dong AÇIK", board201ku5, "Command34", hex("AA 1D 01 00 00 00 C8"));
    row("Ding-Dong KAPALI", board201ku5, "Command28", hex("AA 1D 02 00 00 00 C9"));

    // Dot-matrix display, single frames
    row("dm Display Kapatma empty", {}, "Command8", {170, 21, 5, 0, 0, 0, 196});
    row("dm Yön Okunu Kapat 48", {"Text8=48"}, "Command20", {170, 26, 5, 0, 0, 48, 249});
    row("dm Buffer 255", {"Text8=1", "Text21=255"}, "Command37", {170, 37, 255, 0, 0, 1, 207});
    row("dm Frekans", {"Text8=3", "Text22=10", "Text23=20"}, "Command38", {170, 38, 10, 20, 0, 3, 241});
    row("dm Parlaklık", {"Text8=2", "Text24=100"}, "Command39", {170, 39, 100, 0, 0, 2, 55});
    const char* modes[] = {"Command11", "Command12", "Command13", "Command10", "Command8",
                           "Command41", "Command40", "Command43", "Command42"};
    for (int mode = 1; mode <= 9; ++mode) {
        const QByteArray name = "dm mode " + QByteArray::number(mode);
        row(name.constData(), {"Text8=1"}, modes[mode - 1], {170, 21, mode, 0, 0, 1, 192 + mode});
    }
    const char* arrows[] = {"Command16", "Command17", "Command18", "Command19", "Command20"};
    for (int arrow = 1; arrow <= 5; ++arrow) {
        const QByteArray name = "dm arrow " + QByteArray::number(arrow);
        row(name.constData(), {"Text8=1"}, arrows[arrow - 1], {170, 26, arrow, 0, 0, 1, 197 + arrow});
    }
}

void AnaMenuPanelsTest::sends() {
    QFETCH(QStringList, fields);
    QFETCH(QString, button);
    QFETCH(QList<int>, bytes);

    Console console;
    QVERIFY(console.opened);
    QVERIFY(console.typeAll(fields));
    QVERIFY(console.click(button));
    QCOMPARE(asInts(console.pty.read(7)), bytes);
    QCOMPARE(asInts(console.pty.readAll()), QList<int>{});
    QCOMPARE(console.sentDisplay(), shownBytes(bytes));
    QCOMPARE(console.feedback.messages, QStringList{});
}

void AnaMenuPanelsTest::refuses_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    auto row = [](const char* name, const QStringList& fields, const char* button, const char* message) {
        QTest::newRow(name) << fields << QString::fromLatin1(button) << QString::fromUtf8(message);
    };
    const char* minutes = "Dakika 256'dan büyük olamaz!";
    row("minutes 256", {"Text18=256"}, "Command35", minutes);
    row("seconds 256", {"Text25=256"}, "Command35", minutes);
    row("minutes -1", {"Text18=-1"}, "Command35", "Dakika 0 ile 255 arasında olmalı!");
    row("terminal 256", {"Text1=256"}, "Command31", "El Terminal No 0 ile 255 arasında olmalı!");
    row("terminal read first", {"Text1=300", "Text2=70000"}, "Command2",
        "El Terminal No 0 ile 255 arasında olmalı!");
    row("number 65536", {"Text2=65536"}, "Command2", "Gösterilecek Sayı 0 ile 65535 arasında olmalı!");
    row("flash 256", {"Text16=256"}, "Command30", "Flash Sayısı 0 ile 255 arasında olmalı!");
    row("machine 256", {"Text5=256"}, "Command7", "Bilet Makinesi No 0 ile 255 arasında olmalı!");
    row("machine read first", {"Text5=-1", "Text6=70000"}, "Command9",
        "Bilet Makinesi No 0 ile 255 arasında olmalı!");
    row("ticket 65536", {"Text6=65536"}, "Command9", "Bilet Numarası 0 ile 65535 arasında olmalı!");
    row("repeat 300", {"Text17=300"}, "Command6", "Kaç tekrar bilet 0 ile 255 arasında olmalı!");
    row("data 256", {"Text11=256"}, "Command15", "Data 0 ile 255 arasında olmalı!");
    row("address 999", {"Text20=999"}, "Adres_Yukle", "Adres 0 ile 255 arasında olmalı!");
    row("board 300", {"Text14=300"}, "Command26", "ID No 0 ile 255 arasında olmalı!");
    row("KU 256", {"Text15=256"}, "Command23", "KU No 0 ile 255 arasında olmalı!");
    row("delay 256", {"Text19=256"}, "Command36", "Süre 0 ile 255 arasında olmalı!");
    row("display 256", {"Text8=256"}, "Command11", "ID No 0 ile 255 arasında olmalı!");
    row("brightness 300", {"Text24=300"}, "Command39", "Parlaklık 0 ile 255 arasında olmalı!");
    row("scrolling frequency 256", {"Text23=256"}, "Command38", "Frekans kayan 0 ile 255 arasında olmalı!");
}

void AnaMenuPanelsTest::refuses() {
    QFETCH(QStringList, fields);
    QFETCH(QString, button);
    QFETCH(QString, message);

    Console console;
    QVERIFY(console.opened);
    QVERIFY(console.sendGlobalReset());
    const QStringList before = console.sentDisplay();
    QVERIFY(console.typeAll(fields));
    QVERIFY(console.click(button));
    QCOMPARE(console.feedback.messages, QStringList{message});
    QCOMPARE(asInts(console.pty.readAll()), QList<int>{});
    QCOMPARE(console.sentDisplay(), before);
}

QTEST_MAIN(AnaMenuPanelsTest)
#include "tst_ana_menu_panels.moc"
