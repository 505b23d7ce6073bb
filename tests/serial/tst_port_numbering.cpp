// "Com n" numbering from the ports a computer lists, seen through each option's
// tooltip, and which device a port takes back after its own was pulled.
#include <QtTest>

#include "serial/port_numbering.h"

using vela::PortInfo;

namespace {

PortInfo port(const std::string& location, const std::string& place = {}, const std::string& serial = {},
              const std::string& description = {}, std::optional<std::uint16_t> vendor = 0x0403) {
    return {location.substr(location.rfind('/') + 1), location, description, serial, vendor, 0x6001, place};
}

const PortInfo ftdiA = port("/dev/ttyUSB1", "pci-0000:00:14.0-usb-0:4:1.0-port0", "A9AAA", "FT232R USB UART");
const PortInfo ftdiB = port("/dev/ttyUSB0", {}, "B7BBB");
const PortInfo modem = port("/dev/ttyACM0", {}, "1234", {}, 0x2341);
const PortInfo bare = port("/dev/ttyUSB2");  // no identity at all
// Twins without a serial number in sockets 2 and 3, and clones that share one
// serial number, under whatever device name a row's plug order gives them.
const std::string socket2 = "pci-0000:00:14.0-usb-0:2:1.0-port0", socket3 = "pci-0000:00:14.0-usb-0:3:1.0-port0";
PortInfo twin2(const char* at) { return port(at, socket2, {}, "CH340"); }
PortInfo twin3(const char* at) { return port(at, socket3, {}, "CH340"); }
PortInfo clone(const char* at, const char* place) { return port(at, place, "0001"); }
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
            << QStringList{"/dev/ttyUSB1 — FT232R USB UART, seri no A9AAA", "/dev/ttyACM0 — seri no 1234", "/dev/ttyS2",
                           "/dev/ttyUSB2"};
        const QString inSocket2 = " — CH340, takıldığı yer " + QString::fromStdString(socket2);
        const QString inSocket3 = " — CH340, takıldığı yer " + QString::fromStdString(socket3);
        QTest::newRow("twins, socket 2 plugged first")
            << std::vector{twin2("/dev/ttyUSB0"), twin3("/dev/ttyUSB1")}
            << QStringList{"/dev/ttyUSB0" + inSocket2, "/dev/ttyUSB1" + inSocket3};
        QTest::newRow("twins, socket 3 plugged first")
            << std::vector{twin3("/dev/ttyUSB0"), twin2("/dev/ttyUSB1")}
            << QStringList{"/dev/ttyUSB1" + inSocket2, "/dev/ttyUSB0" + inSocket3};
        QTest::newRow("clones with one serial number go by socket")
            << std::vector{clone("/dev/ttyUSB0", "p6"), clone("/dev/ttyUSB1", "p5"), ftdiB}
            << QStringList{"/dev/ttyUSB0 — seri no B7BBB", "/dev/ttyUSB1 — seri no 0001",
                           "/dev/ttyUSB0 — seri no 0001"};
        QTest::newRow("a built-in port beyond Com 16 has no number")
            << std::vector{port("/dev/ttyS16")} << QStringList{};
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

    // Com 1 opened among the ports present then; after its device vanished,
    // what it opens among those present now: "" while it waits, "?" when it
    // cannot tell which adapter is its own.
    void takenBack_data() {
        QTest::addColumn<std::vector<PortInfo>>("atOpen");
        QTest::addColumn<std::vector<PortInfo>>("now");
        QTest::addColumn<QString>("opens");
        const std::vector twins{twin2("/dev/ttyUSB0"), twin3("/dev/ttyUSB1")};
        QTest::newRow("twin pulled, the other left") << twins << std::vector{twin3("/dev/ttyUSB1")} << "";
        QTest::newRow("both pulled, the other back") << twins << std::vector{twin3("/dev/ttyUSB0")} << "";
        QTest::newRow("both pulled, it is back first") << twins << std::vector{twin2("/dev/ttyUSB0")} << "/dev/ttyUSB0";
        QTest::newRow("both pulled, it is back second")
            << twins << std::vector{twin3("/dev/ttyUSB0"), twin2("/dev/ttyUSB1")} << "/dev/ttyUSB1";
        QTest::newRow("adapter with a serial number in another socket")
            << std::vector{ftdiA} << std::vector{port("/dev/ttyUSB3", "elsewhere", "A9AAA")} << "/dev/ttyUSB3";
        QTest::newRow("no identity, back under its name") << std::vector{bare} << std::vector{bare} << "?";
        QTest::newRow("a clone of its serial number joined it")
            << std::vector{clone("/dev/ttyUSB0", "p5")}
            << std::vector{clone("/dev/ttyUSB0", "p5"), clone("/dev/ttyUSB1", "p6")} << "?";
        QTest::newRow("clones at open, it is back in its socket")
            << std::vector{clone("/dev/ttyUSB0", "p6"), clone("/dev/ttyUSB1", "p5")}
            << std::vector{clone("/dev/ttyUSB0", "p5")} << "/dev/ttyUSB0";
        QTest::newRow("built-in port, by its name")
            << std::vector{port("/dev/ttyS0")} << std::vector<PortInfo>{} << "/dev/ttyS0";
    }
    void takenBack() {
        QFETCH(std::vector<PortInfo>, atOpen);
        QFETCH(std::vector<PortInfo>, now);
        const vela::Refound refound = vela::findAgain(vela::resolveCom(1, {}, vela::numberPorts(atOpen)).recall, now);
        const QString opens = QString::fromStdString(refound.device);
        using Outcome = vela::Refound::Outcome;
        QTEST(refound.outcome == Outcome::Unknown ? "?"
              : refound.outcome == Outcome::Wait  ? QString()
                                                  : opens,
              "opens");
    }
};

QTEST_APPLESS_MAIN(tst_PortNumbering)
#include "tst_port_numbering.moc"
