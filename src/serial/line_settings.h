#pragma once
// The line settings text of the port ("9600,N,8,1": speed in baud, parity
// letter, data bits, stop bits) read into its four values, and those values
// put on a terminal device.
#include <QString>
#include <optional>

namespace vela {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
    int baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
};

// Empty when the text is not four comma-separated values of these forms:
// a positive whole speed, one of N E O M S (any case), 5 to 8, 1 or 1.5 or 2.
// Blanks around a value are allowed.
std::optional<LineSettings> parseLineSettings(const QString& text);

// Raw mode at these settings, without flow control; false when the device
// refuses them or they have no terminal form: a speed the system does not
// name, or 1.5 stop bits with more than 5 data bits (a UART sends 1.5 stop
// bits only for 5-bit characters).
bool applyLineSettings(int fd, const LineSettings& settings);

}  // namespace vela
