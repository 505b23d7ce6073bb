#pragma once
// One run of the simulator on its line: what arrives from the console is cut
// into frames, decoded, printed and applied to the installation; what the
// devices send is printed with what the console will make of it.
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "protocol/monitor.h"
#include "record/session_record.h"
#include "sim/frame_reader.h"
#include "sim/installation.h"
#include "sim/prompt_command.h"

namespace vela::sim {

enum class Direction { Received, Sent };

// "GELEN      170   2  44   1   0   5 222  El Terminali 5: SAYI GÖNDER 300":
// the direction in the console's words, the bytes, the meaning.
std::string traffic_line(Direction direction, std::span<const Byte> bytes, std::string_view meaning);

// What the console will show for bytes the devices send.
std::string sent_meaning(const SendBytes& sent);

class Session {
public:
    using Output = std::function<void(const std::string& line)>;
    // An event of the session record, in the console's words: what the
    // console sent, what it received and the frames its monitor will find.
    using Record = std::function<void(RecordEvent event, std::span<const Byte> bytes, std::string_view device,
                                      std::string_view meaning)>;
    explicit Session(Output traffic, Record record = {}) : traffic_(std::move(traffic)), record_(std::move(record)) {}

    void received(std::span<const Byte> bytes);
    // The line went quiet: held bytes that formed no frame are reported.
    void line_quiet();
    void sent(const SendBytes& sent);

    bool holds_bytes() const { return reader_.holds_bytes(); }
    // The console's commands decoded since the last call, in line order.
    std::vector<DecodedCommand> take_commands() { return std::exchange(commands_, {}); }
    const Installation& installation() const { return installation_; }

private:
    void report(const std::vector<ReadItem>& items);

    void record(RecordEvent event, std::span<const Byte> bytes, std::string_view device, std::string_view meaning);

    Output traffic_;
    Record record_;
    FrameReader reader_;
    ReceiveMonitor console_monitor_;  // what the console's monitor makes of the devices' bytes
    Installation installation_;
    std::vector<DecodedCommand> commands_;
};

}  // namespace vela::sim
