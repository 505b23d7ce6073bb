// The Windows-1254 code of every character the console sends, and the
// character of every byte it receives.
#include <QTest>

#include <iconv.h>

#include "protocol/cp1254.h"

using vela::cp1254_byte;
using vela::cp1254_character;
using vela::encode_cp1254;
using vela::utf8_characters;

namespace {

std::string_view view(const QByteArray& bytes) { return {bytes.constData(), size_t(bytes.size())}; }

// The character glibc decodes from one byte, nullopt where CP1254 has none.
std::optional<char32_t> iconv_character(unsigned char byte) {
    iconv_t converter = iconv_open("UTF-32LE", "CP1254");
    if (converter == reinterpret_cast<iconv_t>(-1)) qFatal("iconv has no CP1254");
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[8] = {};
    char* in_pointer = in;
    char* out_pointer = reinterpret_cast<char*>(out);
    size_t in_left = 1;
    size_t out_left = sizeof out;
    const size_t converted = iconv(converter, &in_pointer, &in_left, &out_pointer, &out_left);
    iconv_close(converter);
    if (converted == static_cast<size_t>(-1) || out_left != 4) return std::nullopt;
    return char32_t(out[0]) | char32_t(out[1]) << 8 | char32_t(out[2]) << 16 | char32_t(out[3]) << 24;
}

}  // namespace

class Cp1254Test : public QObject {
    Q_OBJECT

private slots:
    void table_agrees_with_iconv() {
        int undefined = 0;
        for (int byte = 0; byte < 256; ++byte) {
            const std::optional<char32_t> character = iconv_character(static_cast<unsigned char>(byte));
            QVERIFY2(cp1254_character(static_cast<std::uint8_t>(byte)) == character, qPrintable(QString::number(byte)));
            if (!character) {
                ++undefined;
                continue;
            }
            const std::optional<std::uint8_t> code = cp1254_byte(*character);
            QVERIFY2(code.has_value(), qPrintable(QString::number(byte)));
            QCOMPARE(int(*code), byte);
        }
        // 0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D and 0x9E have no character.
        QCOMPARE(undefined, 7);
    }

    void no_other_character_gets_a_byte() {
        int encodable = 0;
        for (char32_t c = 0; c <= 0x10FFFF; ++c) {
            const std::optional<std::uint8_t> code = cp1254_byte(c);
            if (!code) continue;
            ++encodable;
            QVERIFY2(iconv_character(*code) == c, qPrintable(QString::number(uint(c), 16)));
        }
        QCOMPARE(encodable, 256 - 7);
    }

    void encodes_text_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("euro, three UTF-8 bytes") << QByteArray("€") << QByteArray("\x80");
        QTest::newRow("Turkish word") << QByteArray("Çağrı Öğüş") << QByteArray("\xC7\x61\xF0\x72\xFD\x20\xD6\xF0\xFC\xFE");
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }

    void encodes_text() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, bytes);
        const auto encoded = encode_cp1254(view(text));
        QVERIFY(encoded.ok());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(encoded->data()), qsizetype(encoded->size())), bytes);
    }

    void refuses_character_without_code_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("ruble sign") << QByteArray("AB₽C") << QStringLiteral("'₽' karakteri gönderilemez!");
        QTest::newRow("first one named") << QByteArray("x✓€😀") << QStringLiteral("'✓' karakteri gönderilemez!");
        QTest::newRow("Icelandic eth") << QByteArray("Ð") << QStringLiteral("'Ð' karakteri gönderilemez!");
        QTest::newRow("malformed byte") << QByteArray("A\xFF") << QStringLiteral("'\uFFFD' karakteri gönderilemez!");
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << QStringLiteral("'\uFFFD' karakteri gönderilemez!");
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << QStringLiteral("'\uFFFD' karakteri gönderilemez!");
    }

    void refuses_character_without_code() {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        const auto encoded = encode_cp1254(view(text));
        QVERIFY(!encoded.ok());
        QCOMPARE(QString::fromStdString(encoded.message()), message);
    }

    void counts_code_points_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("count");
        QTest::newRow("ASCII") << QByteArray("AB") << 2;
        QTest::newRow("two-byte letters") << QByteArray("ığüşöçİ") << 7;
        QTest::newRow("four-byte character") << QByteArray("😀") << 1;
        QTest::newRow("cut-short sequence") << QByteArray("\xE2\x82") << 2;
        QTest::newRow("stray continuation") << QByteArray("\x80" "A") << 2;
    }

    void counts_code_points() {
        QFETCH(QByteArray, text);
        QFETCH(int, count);
        QCOMPARE(int(utf8_characters(view(text)).size()), count);
    }
};

QTEST_APPLESS_MAIN(Cp1254Test)
#include "tst_cp1254.moc"
