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

// Device path to its name under /dev/serial/by-id, for every adapter udev named.
QHash<QString, QString> namesById() {
    QHash<QString, QString> names;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        names.insert(link.canonicalFilePath(), link.fileName());
    return names;
}

std::vector<PortInfo> systemPorts() {
    const QHash<QString, QString> byId = namesById();
    std::vector<PortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (isPlaceholder(info.portName())) continue;
        PortInfo port{info.portName().toStdString(), info.systemLocation().toStdString(),
                      info.description().toStdString(), info.serialNumber().toStdString(), std::nullopt,
                      std::nullopt, byId.value(info.systemLocation()).toStdString()};
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
