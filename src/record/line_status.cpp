#include "record/line_status.h"

#include <algorithm>

namespace vela {
namespace {

using std::chrono::milliseconds;

constexpr std::int64_t kBucketUs = 100'000;

// The lower median from counts by millisecond.
milliseconds median_of(const std::vector<std::uint32_t>& by_ms, std::uint64_t total) {
    const std::uint64_t wanted = (total + 1) / 2;
    std::uint64_t seen = 0;
    std::size_t ms = 0;
    while (ms + 1 < by_ms.size() && (seen += by_ms[ms]) < wanted) ++ms;
    return milliseconds(static_cast<std::int64_t>(ms));
}

std::string counts_text(const AdapterErrors& e, bool only_nonzero) {
    const std::pair<std::uint64_t, const char*> kinds[] = {{e.framing, "çerçeve hatası"},
                                                           {e.parity, "eşlik hatası"},
                                                           {e.overrun, "taşma"},
                                                           {e.buffer_overrun, "tampon taşması"},
                                                           {e.breaks, "kesme"}};
    std::string text;
    for (const auto& [count, name] : kinds) {
        if (only_nonzero && count == 0) continue;
        text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + name;
    }
    return text;
}

}  // namespace

std::string status_device_name(const DeviceStatus& status) {
    return status.device == Device::Unknown ? unknown_type_name(status.number)
                                            : device_name(status.device, status.number);
}

std::size_t LineStatus::slot_index(Device device, Byte number) {
    // The chime and the commands to every device are one row each.
    if (!address_range(device) && device != Device::Unknown) number = 0;
    const std::size_t index = static_cast<std::size_t>(device) * 256 + number;
    if (!slots_[index]) {
        slots_[index].emplace();
        slots_[index]->status.device = device;
        slots_[index]->status.number = number;
    }
    return index;
}

void LineStatus::count_load(std::size_t bytes, Time at) {
    const std::int64_t index = std::max<std::int64_t>(at.count(), 0) / kBucketUs;
    LoadBucket& bucket = load_[static_cast<std::size_t>(index % kLoadBuckets)];
    if (bucket.index != index) bucket = {index, 0};
    bucket.bytes += bytes;
}

void LineStatus::sent(Device device, const Frame& frame, std::string_view meaning, Time at) {
    rule_.sent(device, frame, at);
    const std::size_t index = slot_index(device, frame[5]);
    DeviceStatus& status = slots_[index]->status;
    ++status.sent;
    status.last_sent = frame;
    status.last_sent_meaning = meaning;
    awaiting_ = index;
    totals_.bytes_sent += frame.size();
    count_load(frame.size(), at);
}

void LineStatus::received(std::size_t count, std::uint64_t outside, Time at) {
    totals_.bytes_received += count;
    outside_seen_ = outside;
    // Bytes the monitor still held may have joined a frame since.
    totals_.bytes_outside_frames = outside > outside_base_ ? outside - outside_base_ : 0;
    count_load(count, at);
}

void LineStatus::recognised(const Frame& frame, Time at) {
    ++totals_.frames_received;
    const AnswerRule::Heard heard = rule_.received(frame, at);
    const std::size_t index = slot_index(heard.device, heard.number);
    Slot& s = *slots_[index];
    ++s.status.heard;
    s.status.last_heard = frame;
    s.status.last_heard_at = at;
    // A sent frame has one answer: the first frame that answers it.
    if (!heard.delay || awaiting_ != index) return;
    awaiting_.reset();
    ++s.status.answered;
    const Time delay = *heard.delay;
    s.status.least_reply = std::min(s.status.least_reply.value_or(delay), delay);
    s.status.most_reply = std::max(s.status.most_reply.value_or(delay), delay);
    const auto ms = static_cast<std::size_t>(delay.count() / 1000);
    if (s.replies_by_ms.size() <= ms) s.replies_by_ms.resize(ms + 1);
    ++s.replies_by_ms[ms];
}

void LineStatus::reset() {
    for (std::optional<Slot>& s : slots_) s.reset();
    totals_ = {};
    outside_base_ = outside_seen_;
    awaiting_.reset();
    load_ = {};
}

std::vector<DeviceStatus> LineStatus::devices() const {
    std::vector<DeviceStatus> rows;
    for (const std::optional<Slot>& s : slots_) {
        if (!s) continue;
        rows.push_back(s->status);
        if (s->status.answered > 0) rows.back().median_reply = median_of(s->replies_by_ms, s->status.answered);
    }
    return rows;
}

double LineStatus::load_percent(Time now, int baud) const {
    if (baud <= 0) return 0;
    const std::int64_t newest = std::max<std::int64_t>(now.count(), 0) / kBucketUs;
    std::uint64_t bytes = 0;
    for (const LoadBucket& bucket : load_) {
        if (bucket.index > newest - kLoadBuckets && bucket.index <= newest) bytes += bucket.bytes;
    }
    const double capacity_bits = static_cast<double>(baud) * static_cast<double>(kLoadSpan.count());
    return 100.0 * static_cast<double>(bytes) * 10.0 / capacity_bits;
}

std::string adapter_errors_meaning(const AdapterErrors& before, const AdapterErrors& now) {
    const auto grown = [](std::uint64_t from, std::uint64_t to) { return to > from ? to - from : 0; };
    const AdapterErrors added{grown(before.framing, now.framing), grown(before.parity, now.parity),
                              grown(before.overrun, now.overrun), grown(before.buffer_overrun, now.buffer_overrun),
                              grown(before.breaks, now.breaks)};
    return counts_text(added, true) + " (toplam: " + counts_text(now, false) + ")";
}

std::string line_summary_meaning(const std::vector<DeviceStatus>& devices, const LineTotals& totals,
                                 const std::optional<AdapterErrors>& errors) {
    const auto heard = std::count_if(devices.begin(), devices.end(), [](const DeviceStatus& d) { return d.heard > 0; });
    const auto addressed = std::count_if(devices.begin(), devices.end(),
                                         [](const DeviceStatus& d) { return d.sent > 0; });
    return "Özet: " + std::to_string(heard) + " cihaz duyuldu, " + std::to_string(addressed) + " cihaza gönderildi; " +
           std::to_string(totals.bytes_sent) + " bayt gönderildi, " + std::to_string(totals.bytes_received) +
           " bayt geldi, " + std::to_string(totals.frames_received) + " geçerli çerçeve, " +
           std::to_string(totals.bytes_outside_frames) + " bayt çerçeve dışı; adaptör hataları: " +
           (errors ? counts_text(*errors, false) : std::string("sürücü bildirmiyor"));
}

}  // namespace vela
