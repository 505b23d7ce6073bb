#include "serial/port_discovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace vela {

namespace {

PortSource& replacedSource() {
    static PortSource source;
    return source;
}

// The kernel lists built-in UARTs that have no hardware behind them as type 0.
bool isPlaceholder(const QString& name) {
    QFile type(QStringLiteral("/sys/class/tty/%1/type").arg(name));
    return type.open(QIODevice::ReadOnly) && type.readAll().trimmed() == "0";
}

// Device path to its name under /dev/serial/by-path, for every port udev named.
QHash<QString, QString> namesByPath() {
    QHash<QString, QString> names;
    const QDir byPath(QStringLiteral("/dev/serial/by-path"));
    for (const QFileInfo& link : byPath.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        names.insert(link.canonicalFilePath(), link.fileName());
    return names;
}

// The path in sysfs of the USB interface a port belongs to (ending in
// usb1/1-2/1-2:1.0 for socket 2 of bus 1), which the kernel gives as soon as
// the adapter is there; empty for a port that is not on USB.
QString usbInterfacePath(const QString& name) {
    QString path = QFileInfo(QStringLiteral("/sys/class/tty/%1/device").arg(name)).canonicalFilePath();
    // A USB serial converter's port is a device of its own, named after its tty.
    if (path.endsWith(u'/' + name)) path.chop(name.size() + 1);
    return path.contains(QStringLiteral("/usb")) ? path : QString();
}

// Where a port is plugged in; built-in ports are known by their name.
QString placeOf(const QString& name, const QString& location, const QHash<QString, QString>& byPath) {
    if (name.startsWith(QStringLiteral("ttyS"))) return {};
    const auto named = byPath.constFind(location);
    return named != byPath.cend() ? *named : usbInterfacePath(name);
}

std::vector<PortInfo> systemPorts() {
    const QHash<QString, QString> byPath = namesByPath();
    std::vector<PortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString name = info.portName();
        if (isPlaceholder(name)) continue;
        const QString location = info.systemLocation();
        PortInfo port{name.toStdString(),
                      location.toStdString(),
                      info.description().toStdString(),
                      info.serialNumber().toStdString(),
                      std::nullopt,
                      std::nullopt,
                      placeOf(name, location, byPath).toStdString()};
        if (info.hasVendorIdentifier()) port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier()) port.productId = info.productIdentifier();
        ports.push_back(std::move(port));
    }
    return ports;
}

}  // namespace

std::vector<PortInfo> portsPresent() { return replacedSource() ? replacedSource()() : systemPorts(); }

void setPortSource(PortSource source) { replacedSource() = std::move(source); }

ComTarget comTarget(int commPort) {
    const QByteArray configured = qgetenv(QByteArray("VELA_COM" + QByteArray::number(commPort)).constData());
    // The ports are listed only when the name is not configured.
    if (!configured.isEmpty()) return resolveCom(commPort, configured.toStdString(), {});
    return resolveCom(commPort, {}, numberPorts(portsPresent()));
}

}  // namespace vela
