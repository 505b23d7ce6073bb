#include "serial/line_settings.h"

#include <QStringList>

namespace vela {

namespace {

std::optional<QSerialPort::Parity> parityOf(const QString& letter) {
    if (letter.size() != 1) return std::nullopt;
    switch (letter.at(0).toUpper().unicode()) {
    case 'N': return QSerialPort::NoParity;
    case 'E': return QSerialPort::EvenParity;
    case 'O': return QSerialPort::OddParity;
    case 'M': return QSerialPort::MarkParity;
    case 'S': return QSerialPort::SpaceParity;
    default: return std::nullopt;
    }
}

std::optional<QSerialPort::StopBits> stopBitsOf(const QString& text) {
    if (text == QLatin1String("1")) return QSerialPort::OneStop;
    if (text == QLatin1String("1.5")) return QSerialPort::OneAndHalfStop;
    if (text == QLatin1String("2")) return QSerialPort::TwoStop;
    return std::nullopt;
}

bool isDigits(const QString& text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    }
    return true;
}

}  // namespace

std::optional<LineSettings> parseLineSettings(const QString& text) {
    QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) return std::nullopt;
    for (QString& part : parts) part = part.trimmed();

    // toInt alone would accept a sign and blanks inside the number.
    bool ok = false;
    const int baud = parts[0].toInt(&ok);
    if (!isDigits(parts[0]) || !ok || baud <= 0) return std::nullopt;
    const int bits = parts[2].toInt(&ok);
    if (!isDigits(parts[2]) || !ok || bits < 5 || bits > 8) return std::nullopt;
    const auto parity = parityOf(parts[1]);
    const auto stop = stopBitsOf(parts[3]);
    if (!parity || !stop) return std::nullopt;

    return LineSettings{baud, *parity, static_cast<QSerialPort::DataBits>(bits), *stop};
}

}  // namespace vela
