// Captions wrap at blanks only, the way the console's narrow buttons need.
#include <QApplication>
#include <QTest>

#include "ui/console_style.h"
#include "ui/wrapping_button.h"

class WrappingButtonTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vela::applyConsoleStyle(*qApp); }

    void linesAtWidth_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("fits on one line") << "Reset Gönder" << 200 << QStringList{"Reset Gönder"};
        QTest::newRow("a hyphen is no break") << "Flash ON Ding-Dong ON" << 75
                                              << QStringList{"Flash ON", "Ding-Dong ON"};
        QTest::newRow("leading blanks take room") << "   Bilet Gönder     1. Komut" << 81
                                                  << QStringList{"Bilet Gönder", "1. Komut"};
        QTest::newRow("inner blanks kept") << "Display Çizgi Yapma  Komutu" << 200
                                           << QStringList{"Display Çizgi Yapma  Komutu"};
        QTest::newRow("three lines") << "Buffer Uzunluğunu Gönder (255)" << 75
                                     << QStringList{"Buffer", "Uzunluğunu", "Gönder (255)"};
        QTest::newRow("a word wider than the button keeps its line") << "Uzunluğunu" << 10
                                                                      << QStringList{"Uzunluğunu"};
        QTest::newRow("blanks only") << "   " << 50 << QStringList{};
    }

    void linesAtWidth() {
        QFETCH(QString, caption);
        QFETCH(int, width);
        QFETCH(QStringList, lines);
        QCOMPARE(vela::WrappingButton::captionLines(QFontMetrics(vela::consoleFont()), caption, width), lines);
    }

    void accessibleTextStaysWhole() {
        vela::WrappingButton button;
        button.setGeometry(0, 0, 89, 33);
        button.setText(QStringLiteral("   Bilet Gönder     1. Komut"));
        QCOMPARE(button.text(), QStringLiteral("   Bilet Gönder     1. Komut"));
        QVERIFY(button.captionFits());
        button.resize(30, 15);
        QVERIFY(!button.captionFits());
    }
};

QTEST_MAIN(WrappingButtonTest)
#include "tst_wrapping_button.moc"
