#include "serial/line_settings.h"

#include <termios.h>

#include <QStringList>
#include <cerrno>
#include <climits>
#include <utility>

#include "protocol/decimal.h"

namespace vela {

namespace {

std::optional<Parity> parityOf(const QString& letter) {
    if (letter.size() != 1) return std::nullopt;
    switch (letter.at(0).toUpper().unicode()) {
    case 'N': return Parity::None;
    case 'E': return Parity::Even;
    case 'O': return Parity::Odd;
    case 'M': return Parity::Mark;
    case 'S': return Parity::Space;
    default: return std::nullopt;
    }
}

std::optional<StopBits> stopBitsOf(const QString& text) {
    if (text == QLatin1String("1")) return StopBits::One;
    if (text == QLatin1String("1.5")) return StopBits::OneAndHalf;
    if (text == QLatin1String("2")) return StopBits::Two;
    return std::nullopt;
}

std::optional<speed_t> speedOf(int baud) {
    static constexpr std::pair<int, speed_t> kSpeeds[] = {
        {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
        {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
        {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
        {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
        {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
    };
    for (const auto& [value, code] : kSpeeds) {
        if (value == baud) return code;
    }
    return std::nullopt;
}

tcflag_t sizeOf(int dataBits) {
    switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

tcflag_t parityFlags(Parity parity) {
    switch (parity) {
    case Parity::None: return 0;
    case Parity::Even: return PARENB;
    case Parity::Odd: return PARENB | PARODD;
    case Parity::Mark: return PARENB | CMSPAR | PARODD;
    case Parity::Space: return PARENB | CMSPAR;
    }
    return 0;
}

}  // namespace

std::optional<LineSettings> parseLineSettings(const QString& text) {
    QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) return std::nullopt;
    for (QString& part : parts) part = part.trimmed();

    const auto baud = decimal_number(parts[0].toStdString(), INT_MAX);
    const auto bits = decimal_number(parts[2].toStdString(), 8);
    const auto parity = parityOf(parts[1]);
    const auto stop = stopBitsOf(parts[3]);
    if (!baud || *baud == 0 || !bits || *bits < 5 || !parity || !stop) return std::nullopt;
    return LineSettings{static_cast<int>(*baud), *parity, static_cast<int>(*bits), *stop};
}

bool applyLineSettings(int fd, const LineSettings& settings) {
    const std::optional<speed_t> speed = speedOf(settings.baudRate);
    if (!speed || (settings.stopBits == StopBits::OneAndHalf && settings.dataBits != 5)) {
        errno = EINVAL;
        return false;
    }
    termios line{};
    if (::tcgetattr(fd, &line) != 0) return false;
    ::cfmakeraw(&line);
    line.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    line.c_cflag |= CLOCAL | CREAD | sizeOf(settings.dataBits) | parityFlags(settings.parity);
    if (settings.stopBits != StopBits::One) line.c_cflag |= CSTOPB;
    line.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (settings.parity != Parity::None) line.c_iflag |= INPCK;
    // A read with nothing waiting says so (EAGAIN) instead of returning 0,
    // which is kept for a device that has gone.
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
    return ::cfsetispeed(&line, *speed) == 0 && ::cfsetospeed(&line, *speed) == 0 &&
           ::tcsetattr(fd, TCSANOW, &line) == 0;
}

}  // namespace vela
