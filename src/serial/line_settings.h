#pragma once
// The line settings text of the port ("9600,N,8,1": speed in baud, parity
// letter, data bits, stop bits) read into its four values.
#include <QSerialPort>
#include <QString>
#include <optional>

namespace vela {

struct LineSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// Empty when the text is not four comma-separated values of these forms:
// a positive whole speed, one of N E O M S (any case), 5 to 8, 1 or 1.5 or 2.
// Blanks around a value are allowed.
std::optional<LineSettings> parseLineSettings(const QString& text);

}  // namespace vela
