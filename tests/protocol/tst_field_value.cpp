// How the numeric fields are read, and which values a click refuses.
#include <QTest>

#include <limits>

#include "protocol/field_value.h"

using vela::FieldReader;
using vela::field_value;

namespace {
std::string_view view(const QByteArray& bytes) { return {bytes.constData(), size_t(bytes.size())}; }
}  // namespace

class FieldValueTest : public QObject {
    Q_OBJECT

private slots:
    void reads_decimal_number_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("expected");

        QTest::newRow("empty") << QByteArray("") << qint64(0);
        QTest::newRow("letters only") << QByteArray("abc") << qint64(0);
        QTest::newRow("digits then letters") << QByteArray("12abc") << qint64(12);
        QTest::newRow("blank then 7") << QByteArray(" 7") << qint64(7);
        QTest::newRow("blank inside") << QByteArray("1 2") << qint64(12);
        QTest::newRow("tab and line feed inside") << QByteArray("\t1\n2 ") << qint64(12);
        QTest::newRow("blank after sign") << QByteArray("- 5") << qint64(-5);
        QTest::newRow("plus sign") << QByteArray("+42") << qint64(42);
        QTest::newRow("sign alone") << QByteArray("-") << qint64(0);
        QTest::newRow("two signs") << QByteArray("--5") << qint64(0);
        QTest::newRow("point alone") << QByteArray(".") << qint64(0);
        QTest::newRow("no exponent") << QByteArray("1e5") << qint64(1);
        QTest::newRow("no hexadecimal") << QByteArray("0x10") << qint64(0);
        QTest::newRow("second point stops") << QByteArray("1.2.3") << qint64(1);
        QTest::newRow("comma is no point") << QByteArray("2,7") << qint64(2);
        QTest::newRow("trailing point") << QByteArray("5.") << qint64(5);
        QTest::newRow("leading point") << QByteArray(".6") << qint64(1);
        QTest::newRow("2.5 to even 2") << QByteArray("2.5") << qint64(2);
        QTest::newRow("3.5 to even 4") << QByteArray("3.5") << qint64(4);
        QTest::newRow("-2.5 to even -2") << QByteArray("-2.5") << qint64(-2);
        QTest::newRow("-3.5 to even -4") << QByteArray("-3.5") << qint64(-4);
        QTest::newRow("-0.5 is 0") << QByteArray("-0.5") << qint64(0);
        QTest::newRow("2.5000 still a half") << QByteArray("2.5000") << qint64(2);
        QTest::newRow("just above a half") << QByteArray("2.5000000000000000001") << qint64(3);
        QTest::newRow("just below a half") << QByteArray("2.4999999999999999999") << qint64(2);
        QTest::newRow("digit blank in fraction") << QByteArray("2.5 1") << qint64(3);
        QTest::newRow("largest") << QByteArray("9223372036854775807") << qint64(9223372036854775807LL);
        QTest::newRow("smallest") << QByteArray("-9223372036854775808")
                                  << std::numeric_limits<qint64>::min();
        QTest::newRow("largest with a lower half") << QByteArray("9223372036854775807.4")
                                                   << qint64(9223372036854775807LL);
        QTest::newRow("even half at the top stays") << QByteArray("9223372036854775806.5")
                                                    << qint64(9223372036854775806LL);
    }

    void reads_decimal_number() {
        QFETCH(QByteArray, text);
        QFETCH(qint64, expected);
        const std::optional<std::int64_t> value = field_value(view(text));
        QVERIFY(value.has_value());
        QCOMPARE(qint64(*value), expected);
    }

    void says_too_large_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("forty nines") << QByteArray(40, '9');
        QTest::newRow("minus forty nines") << "-" + QByteArray(40, '9');
        QTest::newRow("one past the largest") << QByteArray("9223372036854775808");
        QTest::newRow("one past the smallest") << QByteArray("-9223372036854775809");
        QTest::newRow("rounding up past the largest") << QByteArray("9223372036854775807.5");
        QTest::newRow("rounding down past the smallest") << QByteArray("-9223372036854775808.6");
    }

    void says_too_large() {
        QFETCH(QByteArray, text);
        QCOMPARE(field_value(view(text)), std::nullopt);
    }

    void byte_and_word_ranges_data() {
        QTest::addColumn<bool>("word");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("message");

        const QString byte_message = QStringLiteral("El Terminal No 0 ile 255 arasında olmalı!");
        const QString word_message = QStringLiteral("El Terminal No 0 ile 65535 arasında olmalı!");
        QTest::newRow("byte empty") << false << QByteArray("") << 0 << QString();
        QTest::newRow("byte 255") << false << QByteArray("255") << 255 << QString();
        QTest::newRow("byte 255.4") << false << QByteArray("255.4") << 255 << QString();
        QTest::newRow("byte 256") << false << QByteArray("256") << 0 << byte_message;
        QTest::newRow("byte 255.6") << false << QByteArray("255.6") << 0 << byte_message;
        QTest::newRow("byte -1") << false << QByteArray("-1") << 0 << byte_message;
        QTest::newRow("byte -0.4") << false << QByteArray("-0.4") << 0 << QString();
        QTest::newRow("byte huge") << false << QByteArray(40, '9') << 0 << byte_message;
        QTest::newRow("word 65535") << true << QByteArray("65535") << 65535 << QString();
        QTest::newRow("word 65536") << true << QByteArray("65536") << 0 << word_message;
        QTest::newRow("word -1") << true << QByteArray("-1") << 0 << word_message;
        QTest::newRow("word huge") << true << QByteArray(40, '9') << 0 << word_message;
    }

    void byte_and_word_ranges() {
        QFETCH(bool, word);
        QFETCH(QByteArray, text);
        QFETCH(int, expected);
        QFETCH(QString, message);
        FieldReader reader;
        const int value = word ? reader.word(view(text), "El Terminal No:")
                               : reader.byte(view(text), "El Terminal No:");
        QCOMPARE(value, expected);
        QCOMPARE(reader.ok(), message.isEmpty());
        QCOMPARE(QString::fromStdString(reader.message()), message);
    }

    void scroll_time_check_data() {
        QTest::addColumn<QByteArray>("minutes");
        QTest::addColumn<QByteArray>("seconds");
        QTest::addColumn<QString>("message");

        const QString too_large = QStringLiteral("Dakika 256'dan büyük olamaz!");
        QTest::newRow("255 and 255 are sent") << QByteArray("255") << QByteArray("255") << QString();
        QTest::newRow("minutes 256") << QByteArray("256") << QByteArray("0") << too_large;
        QTest::newRow("seconds 256, same message") << QByteArray("1") << QByteArray("256") << too_large;
        QTest::newRow("minutes huge") << QByteArray(40, '9') << QByteArray("0") << too_large;
        QTest::newRow("minutes negative")
            << QByteArray("-1") << QByteArray("0") << QStringLiteral("Dakika 0 ile 255 arasında olmalı!");
        QTest::newRow("seconds hugely negative")
            << QByteArray("0") << "-" + QByteArray(40, '9')
            << QStringLiteral("Saniye 0 ile 255 arasında olmalı!");
        QTest::newRow("minutes checked first")
            << QByteArray("-1") << QByteArray("300") << QStringLiteral("Dakika 0 ile 255 arasında olmalı!");
    }

    void scroll_time_check() {
        QFETCH(QByteArray, minutes);
        QFETCH(QByteArray, seconds);
        QFETCH(QString, message);
        FieldReader reader;
        reader.scroll_time(view(minutes), "Dakika:");
        reader.scroll_time(view(seconds), "Saniye:");
        QCOMPARE(QString::fromStdString(reader.message()), message);
    }

    void first_refusal_of_a_click_stands() {
        FieldReader reader;
        QCOMPARE(int(reader.byte("7", "El Terminal No:")), 7);
        QCOMPARE(int(reader.word("70000", "Gösterilecek Sayı:")), 0);
        QCOMPARE(int(reader.byte("9", "Flash Sayısı:")), 0);
        QCOMPARE(int(reader.byte("300", "Flash Sayısı:")), 0);
        QCOMPARE(QString::fromStdString(reader.message()),
                 QStringLiteral("Gösterilecek Sayı 0 ile 65535 arasında olmalı!"));
        const vela::Result<int> result = reader.result(5);
        QVERIFY(!result.ok());
        QCOMPARE(result.message(), reader.message());

        FieldReader clean;
        clean.byte("1", "Kacinci Bilet");
        QVERIFY(clean.result(5).ok());
        QCOMPARE(*clean.result(5), 5);
    }
};

QTEST_APPLESS_MAIN(FieldValueTest)
#include "tst_field_value.moc"
