// Typed text as a frame carries it: numbers of the fields (lenient, rounded)
// and of options and prompts (strict), "none" being no number; Windows-1254
// checked against glibc's iconv, and characters without a code refused.
#include <QTest>

#include <iconv.h>

#include "protocol/cp1254.h"
#include "protocol/decimal.h"
#include "protocol/field_value.h"

using namespace vela;

namespace {
template <class T>
QString shown(const std::optional<T>& v) {
    return v ? QString::number(*v) : QStringLiteral("none");
}

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

class TypedTextTest : public QObject {
    Q_OBJECT
private slots:
    void field_value() {
        // clang-format off
        const QList<std::pair<const char*, const char*>> rows = {
            {"", "0"}, {"abc", "0"}, {"12abc", "12"}, {" 7", "7"}, {"\t1\n2 ", "12"}, {"- 5", "-5"}, {"+42", "42"},
            {"--5", "0"}, {".", "0"}, {"1e5", "1"}, {"0x10", "0"}, {"1.2.3", "1"}, {"2,7", "2"}, {".6", "1"},
            {"2.5", "2"}, {"3.5", "4"}, {"-2.5", "-2"}, {"-3.5", "-4"}, {"-0.5", "0"}, {"130.5", "130"},
            {"131.5", "132"}, {"2.5000", "2"}, {"2.5000000000000000001", "3"}, {"2.4999999999999999999", "2"},
            {"2.5 1", "3"}, {"-9223372036854775808", "-9223372036854775808"},
            {"9223372036854775806.5", "9223372036854775806"}, {"9223372036854775808", "none"},
            {"-9223372036854775809", "none"}, {"9223372036854775807.5", "none"}, {"-9223372036854775808.6", "none"}};
        // clang-format on
        for (const auto& [text, expected] : rows) {
            QCOMPARE(text + (" " + shown(vela::field_value(text))), text + (" " + QString(expected)));
        }
    }

    // The reads of one click, "b", "w" or "s" and the text; the first refusal
    // stands and the later reads give 0.
    void checked_reads_data() {
        QTest::addColumn<QStringList>("reads");
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<QString>("message");
        const QString range = QStringLiteral("Alan 0 ile 255 arasında olmalı!");
        const QString minutes = QStringLiteral("Dakika 256'dan büyük olamaz!");
        const QString huge(40, '9');
        // clang-format off
        const QList<std::tuple<QStringList, QList<int>, QString>> rows = {
            {{"b255.4", "b-0.4", "b255.6", "b7"}, {255, 0, 0, 0}, range}, {{"b-1"}, {0}, range}, {{"b" + huge}, {0}, range},
            {{"w65535", "w65536"}, {65535, 0}, QStringLiteral("Alan 0 ile 65535 arasında olmalı!")},
            {{"s255", "s255"}, {255, 255}, QString()}, {{"s256"}, {0}, minutes}, {{"s" + huge}, {0}, minutes},
            {{"s-" + huge, "s300"}, {0, 0}, range}};
        // clang-format on
        for (const auto& [reads, values, message] : rows)
            QTest::newRow(qPrintable(reads.join(u' ').left(30))) << reads << values << message;
    }
    void checked_reads() {
        QFETCH(QStringList, reads);
        FieldReader reader;
        QList<int> read;
        for (const QString& r : reads) {
            const std::string text = r.mid(1).toStdString();
            read << (r[0] == 'b'   ? reader.byte(text, "Alan: ")
                     : r[0] == 'w' ? reader.word(text, "Alan:")
                                   : reader.scroll_time(text, "Alan:"));
        }
        QTEST(read, "values");
        QTEST(QString::fromStdString(reader.ok() ? std::string() : reader.result(0).message()), "message");
    }

    void decimal_number() {
        // clang-format off
        const QList<std::tuple<const char*, std::uint64_t, const char*>> rows = {
            {"0042", 255, "42"}, {"255", 255, "255"}, {"256", 255, "none"}, {"", 255, "none"}, {"+1", 255, "none"},
            {"-1", 255, "none"}, {" 1", 255, "none"}, {"1 ", 255, "none"}, {"1.0", 255, "none"},
            {"18446744073709551615", UINT64_MAX, "18446744073709551615"}, {"18446744073709551616", UINT64_MAX, "none"},
            {"7", 5, "none"}, {"00", 0, "0"}};
        // clang-format on
        for (const auto& [text, largest, expected] : rows) {
            QCOMPARE(text + (" " + shown(vela::decimal_number(text, largest))), text + (" " + QString(expected)));
        }
    }

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
    void encode_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        // clang-format off
        const std::pair<const char*, const char*> rows[] = {
            {"€", "128"}, {"Çağrı Öğüş", "199 97 240 114 253 32 214 240 252 254"}, {"", ""},
            {"x✓€😀", "'✓' karakteri gönderilemez!"}, {"Ð", "'Ð' karakteri gönderilemez!"},
            {"A\xFF", "'\uFFFD' karakteri gönderilemez!"}, {"\xC0\xAF", "'\uFFFD' karakteri gönderilemez!"},
            {"ş\xE2\x82", "'\uFFFD' karakteri gönderilemez!"}};
        // clang-format on
        for (const auto& [text, expected] : rows)
            QTest::addRow("\"%s\"", text) << QByteArray(text) << QString::fromUtf8(expected);
    }
    void encode() {
        QFETCH(QByteArray, text);
        const auto encoded = encode_cp1254(text.toStdString());
        QStringList bytes;
        for (std::uint8_t b : encoded ? *encoded : std::vector<std::uint8_t>{}) bytes << QString::number(b);
        QTEST(encoded ? bytes.join(' ') : QString::fromStdString(encoded.message()), "expected");
    }
};

QTEST_APPLESS_MAIN(TypedTextTest)
#include "tst_field_value.moc"
