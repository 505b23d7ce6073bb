// The parameter bytes of ESC ! and GS ! and the text the windows show.
#include <QTest>

#include "protocol/printer_font.h"

using namespace vela;

namespace {

std::array<bool, 8> selected(const QList<int>& indices) {
    std::array<bool, 8> options{};
    for (int i : indices) options[size_t(i)] = true;
    return options;
}

}  // namespace

Q_DECLARE_METATYPE(vela::PrintModes)

class PrinterFontTest : public QObject {
    Q_OBJECT

private slots:
    void esc_bang_data() {
        QTest::addColumn<PrintModes>("modes");
        QTest::addColumn<int>("value");
        QTest::newRow("font A, nothing") << PrintModes{} << 0;
        QTest::newRow("font B") << PrintModes{true, false, false, false, false} << 1;
        QTest::newRow("emphasized") << PrintModes{false, true, false, false, false} << 8;
        QTest::newRow("double height") << PrintModes{false, false, true, false, false} << 16;
        QTest::newRow("double width") << PrintModes{false, false, false, true, false} << 32;
        QTest::newRow("underline") << PrintModes{false, false, false, false, true} << 128;
        QTest::newRow("font B and all four") << PrintModes{true, true, true, true, true} << 185;
    }

    void esc_bang() {
        QFETCH(PrintModes, modes);
        QFETCH(int, value);
        QCOMPARE(esc_bang_value(modes), value);
    }

    void gs_bang_data() {
        QTest::addColumn<QList<int>>("height");
        QTest::addColumn<QList<int>>("width");
        QTest::addColumn<int>("value");
        QTest::newRow("none selected") << QList<int>{} << QList<int>{} << 0;
        QTest::newRow("Normal in both") << QList<int>{0} << QList<int>{0} << 0;
        QTest::newRow("2- Double in both") << QList<int>{1} << QList<int>{1} << 17;
        QTest::newRow("8 in both") << QList<int>{7} << QList<int>{7} << 119;
        QTest::newRow("height 3, width Normal") << QList<int>{2} << QList<int>{0} << 2;
        QTest::newRow("height Normal, width 3") << QList<int>{0} << QList<int>{2} << 32;
        QTest::newRow("first selected index wins") << QList<int>{0, 5, 3} << QList<int>{6, 4} << 3 + 16 * 4;
    }

    void gs_bang() {
        QFETCH(QList<int>, height);
        QFETCH(QList<int>, width);
        QFETCH(int, value);
        QCOMPARE(gs_bang_value(selected(height), selected(width)), value);
    }

    void command_text_data() {
        QTest::addColumn<bool>("gs");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("ESC ! 0") << false << 0 << "27, 33,  0";
        QTest::newRow("ESC ! 8") << false << 8 << "27, 33,  8";
        QTest::newRow("ESC ! 185") << false << 185 << "27, 33,  185";
        QTest::newRow("ESC ! -5") << false << -5 << "27, 33, -5";
        QTest::newRow("GS ! 0") << true << 0 << "29, 33,  0";
        QTest::newRow("GS ! 119") << true << 119 << "29, 33,  119";
    }

    void command_text() {
        QFETCH(bool, gs);
        QFETCH(int, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(gs ? gs_bang_text(value) : esc_bang_text(value)), text);
    }
};

QTEST_APPLESS_MAIN(PrinterFontTest)
#include "tst_printer_font.moc"
