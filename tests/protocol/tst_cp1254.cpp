// The Windows-1254 code of every character the console sends, checked
// against glibc's iconv, and the refusal of characters without one.
#include <QTest>

#include <iconv.h>

#include "protocol/cp1254.h"

using namespace vela;

namespace {

// The character glibc's iconv decodes from one byte, nullopt where CP1254 has none.
std::optional<char32_t> iconv_character(unsigned char byte) {
    iconv_t converter = iconv_open("WCHAR_T", "CP1254");
    char in = static_cast<char>(byte);
    wchar_t out = 0;
    char *in_pointer = &in, *out_pointer = reinterpret_cast<char*>(&out);
    size_t in_left = 1, out_left = sizeof out;
    const bool converted = iconv(converter, &in_pointer, &in_left, &out_pointer, &out_left) != size_t(-1);
    iconv_close(converter);
    if (!converted || out_left != 0) return std::nullopt;
    return char32_t(out);
}

}  // namespace

class Cp1254Test : public QObject {
    Q_OBJECT
private slots:
    // Both directions for every byte, and no other character gets a byte.
    void table_agrees_with_iconv() {
        for (int byte = 0; byte < 256; ++byte) {
            const std::optional<char32_t> character = iconv_character(static_cast<unsigned char>(byte));
            QVERIFY2(cp1254_character(static_cast<std::uint8_t>(byte)) == character, qPrintable(QString::number(byte)));
            if (character) QCOMPARE(cp1254_byte(*character), std::optional<std::uint8_t>(byte));
        }
        int encodable = 0;
        for (char32_t c = 0; c <= 0x10FFFF; ++c) {
            const std::optional<std::uint8_t> code = cp1254_byte(c);
            encodable += code ? 1 : 0;
            if (code) QVERIFY2(iconv_character(*code) == c, qPrintable(QString::number(uint(c), 16)));
        }
        QCOMPARE(encodable, 256 - 7);  // 0x81, 0x8D to 0x90, 0x9D and 0x9E have no character
    }

    // The bytes, or the refusal naming the first character without a code.
    void encode() {
        const QList<std::pair<const char*, const char*>> rows = {
            {"€", "128"}, {"Çağrı Öğüş", "199 97 240 114 253 32 214 240 252 254"}, {"", ""},
            {"x✓€😀", "'✓' karakteri gönderilemez!"}, {"Ð", "'Ð' karakteri gönderilemez!"},
            {"A\xFF", "'\uFFFD' karakteri gönderilemez!"}, {"\xC0\xAF", "'\uFFFD' karakteri gönderilemez!"},
            {"ş\xE2\x82", "'\uFFFD' karakteri gönderilemez!"}};
        for (const auto& [text, expected] : rows) {
            const auto encoded = encode_cp1254(text);
            QStringList bytes;
            for (std::uint8_t b : encoded ? *encoded : std::vector<std::uint8_t>{}) bytes << QString::number(b);
            QCOMPARE(encoded ? bytes.join(' ') : QString::fromStdString(encoded.message()), QString::fromUtf8(expected));
        }
    }
};

QTEST_APPLESS_MAIN(Cp1254Test)
#include "tst_cp1254.moc"
