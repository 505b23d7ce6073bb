// "Com n" numbering from the ports a computer lists, and each option's tooltip.
#include <QtTest>

#include "serial/port_numbering.h"

using vela::PortInfo;

namespace {

PortInfo port(const std::string& location, const std::string& byId = {}, const std::string& serial = {},
              std::optional<std::uint16_t> vendor = {}, std::optional<std::uint16_t> product = {}) {
    return {location.substr(location.rfind('/') + 1), location, {}, serial, vendor, product, byId};
}

const PortInfo ftdiA = port("/dev/ttyUSB1", "usb-FTDI_FT232R_USB_UART_A9AAA-if00-port0", "A9AAA", 0x0403, 0x6001);
const PortInfo ftdiB = port("/dev/ttyUSB0", "usb-FTDI_FT232R_USB_UART_B7BBB-if00-port0", "B7BBB", 0x0403, 0x6001);
const PortInfo modem = port("/dev/ttyACM0", {}, "1234", 0x2341, 0x0043);  // no by-id name: vendor, product, serial
const PortInfo bare = port("/dev/ttyUSB2");                               // no identity at all

}  // namespace

Q_DECLARE_METATYPE(std::vector<PortInfo>)

class tst_PortNumbering : public QObject {
    Q_OBJECT

private slots:
    void numbering_data() {
        QTest::addColumn<std::vector<PortInfo>>("ports");
        QTest::addColumn<QStringList>("expected");  // Com 1, Com 2, ...; the rest have no port
        const PortInfo s0 = port("/dev/ttyS0"), s1 = port("/dev/ttyS1");
        QTest::newRow("no built-in port, adapters plugged B then A") << std::vector{ftdiB, ftdiA}
                                                                     << QStringList{"/dev/ttyUSB1", "/dev/ttyUSB0"};
        QTest::newRow("no built-in port, adapters plugged A then B") << std::vector{ftdiA, ftdiB}
                                                                     << QStringList{"/dev/ttyUSB1", "/dev/ttyUSB0"};
        QTest::newRow("two built-in ports keep Com 1 and 2") << std::vector{ftdiA, s1, s0}
                                                              << QStringList{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB1"};
        QTest::newRow("adapters fill the gap below a built-in port")
            << std::vector{port("/dev/ttyS2"), bare, modem, ftdiA}
            << QStringList{"/dev/ttyACM0", "/dev/ttyUSB1", "/dev/ttyS2", "/dev/ttyUSB2"};
        QTest::newRow("a built-in port beyond Com 16 has no number") << std::vector{port("/dev/ttyS16")} << QStringList{};
    }
    void numbering() {
        QFETCH(std::vector<PortInfo>, ports);
        QFETCH(QStringList, expected);
        const vela::ComNumbering numbering = vela::numberPorts(ports);
        for (int n = 1; n <= vela::kComPorts; ++n) {
            const auto& found = numbering[std::size_t(n - 1)];
            QCOMPARE(found ? QString::fromStdString(found->location) : QString(), expected.value(n - 1));
        }
    }

    void tooltip_data() {
        QTest::addColumn<int>("commPort");
        QTest::addColumn<QByteArray>("configured");
        QTest::addColumn<QString>("expected");
        QTest::newRow("serial number only") << 1 << QByteArray() << QStringLiteral("/dev/ttyACM0 — seri no 1234");
        QTest::newRow("adapter with description and serial number")
            << 2 << QByteArray() << QStringLiteral("/dev/ttyUSB0 — FT232R USB UART, seri no B7BBB");
        QTest::newRow("built-in port") << 3 << QByteArray() << QStringLiteral("/dev/ttyS2");
        QTest::newRow("nothing there") << 5 << QByteArray() << QStringLiteral("Com 5: bu bilgisayarda yok (/dev/ttyS4)");
        QTest::newRow("configured path wins") << 1 << QByteArray("/dev/vela-com") << QStringLiteral("/dev/vela-com");
    }
    void tooltip() {
        QFETCH(int, commPort);
        QFETCH(QByteArray, configured);
        PortInfo described = ftdiB;
        described.description = "FT232R USB UART";
        const vela::ComNumbering numbering = vela::numberPorts({described, modem, port("/dev/ttyS2")});
        const vela::ComTarget target = vela::resolveCom(commPort, configured.toStdString(), numbering);
        QTEST(QString::fromStdString(vela::describeCom(commPort, target)), "expected");
    }
};

QTEST_APPLESS_MAIN(tst_PortNumbering)
#include "tst_port_numbering.moc"
