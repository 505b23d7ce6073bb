#pragma once
// A session record as a capture file for a protocol analyser: pcapng with one
// interface of link type USER0 (147), named after the record's port and baud
// rate. Every sent frame is an outbound packet and every received delivery an
// inbound packet with its bytes as they came, at the record's time on UTC
// (the offset its opening line names), to the microsecond. Nothing of the
// record is lost: each packet's comments are the record lines it stands for,
// without their time (a delivery's comments also hold the frames the console
// recognised in it); every other event (the port, a refusal, a record sent
// again, …) is a packet of its own without bytes and without a direction.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "record/record_reader.h"
#include "record/session_record.h"

namespace vela {

inline constexpr std::uint16_t kLinkTypeUser0 = 147;

class PcapngWriter {
public:
    // Writes the section and the interface, named after `port` when known.
    PcapngWriter(std::ostream& out, const std::optional<PortOpening>& port);

    // The record's entries in their order.
    void take(const RecordEntry& entry);
    // Writes what is held; the number of packets written.
    std::uint64_t finish();

private:
    struct Packet {
        std::uint64_t at_us = 0;
        std::uint32_t direction = 0;
        std::vector<Byte> bytes;
        std::vector<std::string> comments;
    };
    void flush();
    std::uint64_t microseconds_utc(std::int64_t local_ms) const;

    std::ostream& out_;
    std::int64_t offset_ms_ = 0;
    std::uint64_t at_us_ = 0;
    std::optional<Packet> pending_;
    std::uint64_t written_ = 0;
};

}  // namespace vela
