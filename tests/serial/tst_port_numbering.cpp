// "Com n" numbering from the ports a computer lists, seen through each option's tooltip.
#include <QtTest>

#include "serial/port_numbering.h"

using vela::PortInfo;

namespace {

PortInfo port(const std::string& location, const std::string& byId = {}, const std::string& serial = {},
              const std::string& description = {}, std::optional<std::uint16_t> vendor = 0x0403) {
    return {location.substr(location.rfind('/') + 1), location, description, serial, vendor, 0x6001, byId};
}

const PortInfo ftdiA = port("/dev/ttyUSB1", "usb-FTDI_FT232R_USB_UART_A9AAA-if00", "A9AAA", "FT232R USB UART");
const PortInfo ftdiB = port("/dev/ttyUSB0", "usb-FTDI_FT232R_USB_UART_B7BBB-if00", "B7BBB");
const PortInfo modem = port("/dev/ttyACM0", {}, "1234", {}, 0x2341);  // no by-id name: vendor, product, serial
const PortInfo bare = port("/dev/ttyUSB2");                           // no identity at all
const QString absent = QStringLiteral("Com %1: bu bilgisayarda yok (/dev/ttyS%2)");

}  // namespace

Q_DECLARE_METATYPE(std::vector<PortInfo>)

class tst_PortNumbering : public QObject {
    Q_OBJECT

private slots:
    void numbering_data() {
        QTest::addColumn<std::vector<PortInfo>>("ports");
        QTest::addColumn<QStringList>("tooltips");  // of Com 1, Com 2, ...; the ports after them have nothing
        const QStringList twoAdapters{"/dev/ttyUSB1 — FT232R USB UART, seri no A9AAA", "/dev/ttyUSB0 — seri no B7BBB"};
        QTest::newRow("no built-in port, adapters plugged B then A") << std::vector{ftdiB, ftdiA} << twoAdapters;
        QTest::newRow("no built-in port, adapters plugged A then B") << std::vector{ftdiA, ftdiB} << twoAdapters;
        QTest::newRow("two built-in ports keep Com 1 and 2")
            << std::vector{ftdiA, port("/dev/ttyS1"), port("/dev/ttyS0")}
            << QStringList{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB1 — FT232R USB UART, seri no A9AAA"};
        QTest::newRow("adapters fill the gap below a built-in port")
            << std::vector{port("/dev/ttyS2"), bare, modem, ftdiA}
            << QStringList{"/dev/ttyACM0 — seri no 1234", "/dev/ttyUSB1 — FT232R USB UART, seri no A9AAA", "/dev/ttyS2",
                           "/dev/ttyUSB2"};
        QTest::newRow("a built-in port beyond Com 16 has no number") << std::vector{port("/dev/ttyS16")} << QStringList{};
    }
    void numbering() {
        QFETCH(std::vector<PortInfo>, ports);
        QFETCH(QStringList, tooltips);
        const vela::ComNumbering numbering = vela::numberPorts(ports);
        for (int n = 1; n <= vela::kComPorts; ++n) {
            const QString expected = n <= tooltips.size() ? tooltips[n - 1] : absent.arg(n).arg(n - 1);
            QCOMPARE(QString::fromStdString(vela::describeCom(n, vela::resolveCom(n, {}, numbering))), expected);
        }
        // A configured path wins over the numbering.
        QCOMPARE(vela::describeCom(1, vela::resolveCom(1, "/dev/vela-com", numbering)), std::string("/dev/vela-com"));
    }
};

QTEST_APPLESS_MAIN(tst_PortNumbering)
#include "tst_port_numbering.moc"
