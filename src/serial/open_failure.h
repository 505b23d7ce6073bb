#pragma once
// What the technician is told when the chosen port cannot be opened for a
// reason other than another holder: what failed and what to do about it.
#include <QString>

#include "serial/serial_port.h"

namespace vela {

QString openFailureMessage(int commPort, const SerialPort::OpenFailure& failure);

}  // namespace vela
