#include "record/pcapng_export.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <vector>

#include "record/session_record.h"

namespace vela {
namespace {

constexpr std::uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr std::uint32_t kInterfaceDescription = 1;
constexpr std::uint32_t kEnhancedPacket = 6;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;

constexpr std::uint16_t kEndOfOptions = 0;
constexpr std::uint16_t kComment = 1;
constexpr std::uint16_t kShbUserApplication = 4;
constexpr std::uint16_t kIfName = 2;
constexpr std::uint16_t kIfDescription = 3;
constexpr std::uint16_t kEpbFlags = 2;
constexpr std::uint32_t kInbound = 1;
constexpr std::uint32_t kOutbound = 2;

// One block, built in memory and written whole: type, length, body, length.
class Block {
public:
    explicit Block(std::uint32_t type) { u32(type), u32(0); }

    Block& u16(std::uint16_t v) { return raw(&v, sizeof v); }
    Block& u32(std::uint32_t v) { return raw(&v, sizeof v); }
    Block& u64(std::uint64_t v) { return u32(static_cast<std::uint32_t>(v >> 32)), u32(static_cast<std::uint32_t>(v)); }
    Block& bytes(const void* data, std::size_t size) {
        raw(data, size);
        data_.append((4 - data_.size() % 4) % 4, '\0');
        return *this;
    }
    Block& option(std::uint16_t code, std::string_view value) {
        // An option's length field holds at most 65535 bytes.
        const std::size_t size = std::min<std::size_t>(value.size(), 0xFFFC);
        u16(code), u16(static_cast<std::uint16_t>(size));
        return bytes(value.data(), size);
    }
    Block& option(std::uint16_t code, std::uint32_t value) {
        u16(code), u16(sizeof value);
        return u32(value);
    }

    void writeTo(std::ostream& out, bool with_options) {
        if (with_options) u16(kEndOfOptions), u16(0);
        const auto total = static_cast<std::uint32_t>(data_.size() + 4);
        u32(total);
        data_.replace(4, 4, reinterpret_cast<const char*>(&total), 4);
        out.write(data_.data(), static_cast<std::streamsize>(data_.size()));
    }

private:
    Block& raw(const void* data, std::size_t size) {
        data_.append(static_cast<const char*>(data), size);
        return *this;
    }

    std::string data_;
};

// The record line of an entry without its time: what the packet stands for.
std::string line_of(const RecordEntry& entry) {
    return record_line(std::nullopt, entry.event, entry.bytes, entry.device, entry.meaning).substr(1);
}

std::uint32_t direction_of(RecordEvent event) {
    if (event == RecordEvent::Sent) return kOutbound;
    if (event == RecordEvent::Received) return kInbound;
    return 0;
}

}  // namespace

PcapngWriter::PcapngWriter(std::ostream& out, const std::optional<PortOpening>& port) : out_(out) {
    Block section(kSectionHeader);
    section.u32(kByteOrderMagic).u16(1).u16(0).u64(std::numeric_limits<std::uint64_t>::max());
    section.option(kShbUserApplication, std::string_view("vela-test"));
    section.writeTo(out_, true);

    Block interface(kInterfaceDescription);
    interface.u16(kLinkTypeUser0).u16(0).u32(0);
    if (port) {
        interface.option(kIfName, port->device);
        interface.option(kIfDescription, port->device + ", " + std::to_string(port->baud) + " baud, 8N1");
    }
    interface.writeTo(out_, true);
}

// The record's time is its local time, at the offset its latest opening
// names; a line without a time takes the time of the one before it.
void PcapngWriter::take(const RecordEntry& entry) {
    if (entry.event == RecordEvent::Port) {
        if (const auto opened = read_port_opened(entry.meaning)) offset_ms_ = opened->utc_offset.count() * 1000;
    }
    if (entry.at_ms) at_us_ = microseconds_utc(*entry.at_ms);
    if (entry.event == RecordEvent::Recognised && pending_ && pending_->direction == kInbound) {
        pending_->comments.push_back(line_of(entry));
        return;
    }
    flush();
    pending_ = Packet{at_us_, direction_of(entry.event), {}, {line_of(entry)}};
    if (pending_->direction != 0) pending_->bytes = entry.bytes;
}

std::uint64_t PcapngWriter::finish() {
    flush();
    out_.flush();
    return written_;
}

void PcapngWriter::flush() {
    if (!pending_) return;
    Block block(kEnhancedPacket);
    const auto size = static_cast<std::uint32_t>(pending_->bytes.size());
    block.u32(0).u64(pending_->at_us).u32(size).u32(size).bytes(pending_->bytes.data(), size);
    for (const std::string& comment : pending_->comments) block.option(kComment, comment);
    if (pending_->direction != 0) block.option(kEpbFlags, pending_->direction);
    block.writeTo(out_, true);
    ++written_;
    pending_.reset();
}

// Milliseconds of local time to microseconds since the epoch on UTC,
// saturated at both ends of the field.
std::uint64_t PcapngWriter::microseconds_utc(std::int64_t local_ms) const {
    constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max() / 1000;
    if (local_ms <= offset_ms_) return 0;
    return static_cast<std::uint64_t>(std::min(local_ms - offset_ms_, kLargest)) * 1000;
}

}  // namespace vela
