#include "ui/transmitter.h"

#include "serial/serial_port.h"
#include "ui/feedback.h"

namespace vela {

Transmitter::Transmitter(SerialPort& port) : port_(port) {}

bool Transmitter::play(QWidget* parent, const Sequence& frames, const ByteSent& sent) {
    if (!port_.isOpen()) {
        Feedback::message(parent, QString::fromUtf8(kPortNotOpenMessage));
        return false;
    }
    for (const Step& step : frames) {
        for (int i = 0; i < static_cast<int>(step.frame.size()); ++i) {
            switch (port_.output(step.frame[i])) {
            case SerialPort::WriteResult::Written:
                break;
            case SerialPort::WriteResult::NotOpen:
                Feedback::message(parent, QString::fromUtf8(kPortNotOpenMessage));
                return false;
            case SerialPort::WriteResult::Lost:
                Feedback::message(parent, QString::fromUtf8(kPortLostMessage));
                return false;
            }
            if (sent) sent(i, step.frame[i]);
        }
        if (step.pause_after.count() > 0) port_.pauseKeepingInput(step.pause_after);
    }
    return true;
}

}  // namespace vela
