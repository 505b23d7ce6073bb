#pragma once
// Plays frames on the one serial port: seven one-byte writes per frame, then
// the frame's pause on this thread (the port keeps reading meanwhile). Refuses to pretend: on a
// closed port nothing is written, and a device that vanishes mid-way stops
// the rest; either is told once per call.
#include <functional>

#include "protocol/frame.h"

class QWidget;

namespace vela {

class SerialPort;

inline constexpr char kPortNotOpenMessage[] = "Com Port açık değil! Komut gönderilemedi.";
inline constexpr char kPortLostMessage[] = "Com Port bağlantısı koptu! Komut gönderilemedi.";

class Transmitter {
public:
    // Called after each byte has been handed to the port: its index in the
    // frame (0..6) and its value.
    using ByteSent = std::function<void(int index, Byte value)>;

    explicit Transmitter(SerialPort& port);

    // True when every frame went out.
    bool play(QWidget* parent, const Sequence& frames, const ByteSent& sent = {});

private:
    SerialPort& port_;
};

}  // namespace vela
