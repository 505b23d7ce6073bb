// How numbers are read from text: the numeric fields (lenient, rounded) and
// the plain decimals of options and prompts (strict). "none" is no number.
#include <QTest>

#include "protocol/decimal.h"
#include "protocol/field_value.h"

using namespace vela;

namespace {
template <class T>
QString shown(const std::optional<T>& value) { return value ? QString::number(*value) : QStringLiteral("none"); }
}  // namespace

class FieldValueTest : public QObject {
    Q_OBJECT
private slots:
    void field_value() {
        const QList<std::pair<const char*, const char*>> rows = {
            {"", "0"}, {"abc", "0"}, {"12abc", "12"}, {" 7", "7"}, {"\t1\n2 ", "12"}, {"- 5", "-5"}, {"+42", "42"},
            {"--5", "0"}, {".", "0"}, {"1e5", "1"}, {"0x10", "0"}, {"1.2.3", "1"}, {"2,7", "2"}, {".6", "1"},
            {"2.5", "2"}, {"3.5", "4"}, {"-2.5", "-2"}, {"-3.5", "-4"}, {"-0.5", "0"}, {"130.5", "130"},
            {"131.5", "132"}, {"2.5000", "2"}, {"2.5000000000000000001", "3"}, {"2.4999999999999999999", "2"},
            {"2.5 1", "3"}, {"-9223372036854775808", "-9223372036854775808"},
            {"9223372036854775806.5", "9223372036854775806"}, {"9223372036854775808", "none"},
            {"-9223372036854775809", "none"}, {"9223372036854775807.5", "none"}, {"-9223372036854775808.6", "none"}};
        for (const auto& [text, expected] : rows) {
            QCOMPARE(text + (" " + shown(vela::field_value(text))), text + (" " + QString(expected)));
        }
    }

    // The reads of one click, "b", "w" or "s" and the text; the first refusal
    // stands and the later reads give 0.
    void checked_reads() {
        const QString range = QStringLiteral("Alan 0 ile 255 arasında olmalı!");
        const QString minutes = QStringLiteral("Dakika 256'dan büyük olamaz!");
        const QString huge(40, '9');
        const QList<std::tuple<QStringList, QList<int>, QString>> rows = {
            {{"b255.4", "b-0.4", "b255.6", "b7"}, {255, 0, 0, 0}, range}, {{"b-1"}, {0}, range}, {{"b" + huge}, {0}, range},
            {{"w65535", "w65536"}, {65535, 0}, QStringLiteral("Alan 0 ile 65535 arasında olmalı!")},
            {{"s255", "s255"}, {255, 255}, QString()}, {{"s256"}, {0}, minutes}, {{"s" + huge}, {0}, minutes},
            {{"s-" + huge, "s300"}, {0, 0}, range}};
        for (const auto& [reads, values, message] : rows) {
            FieldReader reader;
            QList<int> read;
            for (const QString& r : reads) {
                const std::string text = r.mid(1).toStdString();
                read << (r[0] == 'b' ? reader.byte(text, "Alan: ") : r[0] == 'w' ? reader.word(text, "Alan:")
                                                                                 : reader.scroll_time(text, "Alan:"));
            }
            QCOMPARE(read, values);
            QCOMPARE(QString::fromStdString(reader.ok() ? std::string() : reader.result(0).message()), message);
        }
    }

    void decimal_number() {
        const QList<std::tuple<const char*, std::uint64_t, const char*>> rows = {
            {"0042", 255, "42"}, {"255", 255, "255"}, {"256", 255, "none"}, {"", 255, "none"}, {"+1", 255, "none"},
            {"-1", 255, "none"}, {" 1", 255, "none"}, {"1 ", 255, "none"}, {"1.0", 255, "none"},
            {"18446744073709551615", UINT64_MAX, "18446744073709551615"}, {"18446744073709551616", UINT64_MAX, "none"},
            {"7", 5, "none"}, {"00", 0, "0"}};
        for (const auto& [text, largest, expected] : rows) {
            QCOMPARE(text + (" " + shown(vela::decimal_number(text, largest))), text + (" " + QString(expected)));
        }
    }
};

QTEST_APPLESS_MAIN(FieldValueTest)
#include "tst_field_value.moc"
