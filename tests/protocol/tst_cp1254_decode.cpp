// From a received Windows-1254 byte back to its character.
#include <QTest>

#include "protocol/cp1254.h"

using vela::cp1254_byte;
using vela::cp1254_character;

class Cp1254DecodeTest : public QObject {
    Q_OBJECT
private slots:
    void character_of_byte_data();
    void character_of_byte();
    void every_character_returns_to_its_byte();
};

void Cp1254DecodeTest::character_of_byte_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("character");  // -1: the byte has none
    QTest::newRow("NUL") << 0 << 0;
    QTest::newRow("A") << 65 << int('A');
    QTest::newRow("last ASCII") << 127 << 127;
    QTest::newRow("euro sign") << 0x80 << 0x20AC;
    QTest::newRow("0x81 undefined") << 0x81 << -1;
    QTest::newRow("0x8D undefined") << 0x8D << -1;
    QTest::newRow("0x90 undefined") << 0x90 << -1;
    QTest::newRow("0x9E undefined") << 0x9E << -1;
    QTest::newRow("Ğ") << 208 << 0x011E;
    QTest::newRow("İ") << 221 << 0x0130;
    QTest::newRow("Ş") << 222 << 0x015E;
    QTest::newRow("ğ") << 240 << 0x011F;
    QTest::newRow("ı") << 253 << 0x0131;
    QTest::newRow("ş") << 254 << 0x015F;
    QTest::newRow("ÿ") << 255 << 0x00FF;
}

void Cp1254DecodeTest::character_of_byte() {
    QFETCH(int, byte);
    QFETCH(int, character);
    const std::optional<char32_t> decoded = cp1254_character(static_cast<std::uint8_t>(byte));
    QCOMPARE(decoded ? int(*decoded) : -1, character);
}

void Cp1254DecodeTest::every_character_returns_to_its_byte() {
    int without_character = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const std::optional<char32_t> character = cp1254_character(static_cast<std::uint8_t>(byte));
        if (!character) {
            ++without_character;
            continue;
        }
        QCOMPARE(cp1254_byte(*character), std::optional<std::uint8_t>(std::uint8_t(byte)));
    }
    QCOMPARE(without_character, 7);
}

QTEST_APPLESS_MAIN(Cp1254DecodeTest)
#include "tst_cp1254_decode.moc"
