#pragma once
// Plays frames on the one serial port: seven one-byte writes per frame, a
// bounded wait until the device has sent them, then the frame's pause on this
// thread (the port keeps reading meanwhile). A frame counts as sent only once
// the device has sent it; the first that fails ends the call, and nothing of
// it is left to go out later. The caller tells the technician.
#include <functional>

#include "protocol/frame.h"
#include "serial/serial_port.h"

namespace vela {

inline constexpr char kPortNotOpenMessage[] = "Com Port açık değil! Komut gönderilemedi.";
inline constexpr char kPortLostMessage[] = "Com Port bağlantısı koptu! Komut gönderilemedi.";
// A device that takes no byte: its Com number and device.
inline constexpr char kPortStuckMessage[] = "Com %1 veri almıyor (%2); çerçeve gönderilemedi.";

class Transmitter {
public:
    // Called after each byte has been handed to the port: its index in the
    // frame (0..6) and its value.
    using ByteSent = std::function<void(int index, Byte value)>;
    // Called once the device has sent the whole frame.
    using FrameSent = std::function<void(const Frame& frame)>;

    // How a call ended: Written when every frame went out; otherwise the frame
    // that failed and how many of its bytes may have reached the line.
    struct Outcome {
        SerialPort::WriteResult result = SerialPort::WriteResult::Written;
        std::size_t frame = 0;
        int bytesGone = 0;
    };

    explicit Transmitter(SerialPort& port);

    Outcome play(const Sequence& frames, const ByteSent& handed, const FrameSent& sent);

private:
    Outcome failed(SerialPort::WriteResult result, std::size_t frame, int handed);

    SerialPort& port_;
};

}  // namespace vela
