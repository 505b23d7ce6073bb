#include "record/record_summary.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "protocol/decimal.h"

namespace vela {
namespace {

constexpr std::array kDeviceTypes = {Device::HandTerminal, Device::TicketMachine, Device::DotMatrix, Device::MainBoard,
                                     Device::Chime,        Device::Everyone,      Device::Unknown};

bool numbered(Device device) { return device != Device::Chime && device != Device::Everyone; }

// "El Terminali " for a numbered type: its name without the number.
std::string name_before_number(Device device) {
    std::string name = device_name(device, 0);
    name.pop_back();
    return name;
}

}  // namespace

Device recorded_device(std::string_view name) {
    for (const Device device : kDeviceTypes) {
        if (!numbered(device)) {
            if (name == device_name(device, 0)) return device;
            continue;
        }
        const std::string prefix = name_before_number(device);
        if (name.starts_with(prefix) && decimal_number(name.substr(prefix.size()), 255)) return device;
    }
    return Device::Unknown;
}

std::string devices_summary(std::span<const AddressedDevice> devices) {
    std::string summary;
    const auto add = [&summary](const std::string& part) { summary += (summary.empty() ? "" : ", ") + part; };
    for (const Device device : kDeviceTypes) {
        std::vector<int> addresses;
        for (const AddressedDevice& d : devices) {
            if (d.device == device) addresses.push_back(d.address);
        }
        if (addresses.empty()) continue;
        if (!numbered(device)) {
            add(device_name(device, 0));
            continue;
        }
        std::sort(addresses.begin(), addresses.end());
        addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
        std::string ranges = name_before_number(device);
        for (std::size_t first = 0; first < addresses.size();) {
            std::size_t last = first;
            while (last + 1 < addresses.size() && addresses[last + 1] == addresses[last] + 1) ++last;
            if (first > 0) ranges += ", ";
            ranges += std::to_string(addresses[first]);
            if (last > first) ranges += "–" + std::to_string(addresses[last]);
            first = last + 1;
        }
        add(ranges);
    }
    return summary;
}

std::vector<std::chrono::milliseconds> gaps_between(std::span<const std::optional<std::int64_t>> recorded_ms,
                                                    Gaps choice) {
    std::vector<std::chrono::milliseconds> gaps;
    for (std::size_t i = 1; i < recorded_ms.size(); ++i) {
        std::chrono::milliseconds gap{0};
        if (recorded_ms[i - 1] && recorded_ms[i])
            gap = std::chrono::milliseconds(std::max<std::int64_t>(*recorded_ms[i] - *recorded_ms[i - 1], 0));
        if (choice == Gaps::LongOnesShortened) gap = std::min(gap, kLongestShortenedGap);
        gaps.push_back(gap);
    }
    return gaps;
}

std::chrono::milliseconds run_duration(std::span<const std::chrono::milliseconds> gaps, std::size_t frames, int baud) {
    using std::chrono::microseconds;
    if (frames == 0 || baud <= 0) return {};
    const microseconds frame_time{70'000'000 / baud};
    microseconds total = frame_time;
    for (const std::chrono::milliseconds gap : gaps) total += std::max<microseconds>(gap, frame_time);
    return std::chrono::round<std::chrono::milliseconds>(total);
}

std::string duration_text(std::chrono::milliseconds duration) {
    const long long ms = std::max<long long>(duration.count(), 0);
    char text[32];
    if (const long long tenths = (ms + 50) / 100; tenths < 100) {
        std::snprintf(text, sizeof text, "%lld,%lld sn", tenths / 10, tenths % 10);
    } else if (const long long s = (ms + 500) / 1000; s < 60) {
        std::snprintf(text, sizeof text, "%lld sn", s);
    } else if (s < 3600) {
        std::snprintf(text, sizeof text, "%lld dk %02lld sn", s / 60, s % 60);
    } else {
        const long long minutes = (s + 30) / 60;
        std::snprintf(text, sizeof text, "%lld sa %02lld dk", minutes / 60, minutes % 60);
    }
    return text;
}

std::string resend_started_meaning(std::string_view file, std::size_t frames) {
    return "Kayıttan gönderim başladı: " + std::string(file) + ", " + std::to_string(frames) + " çerçeve";
}

std::string resend_stopped_meaning(std::size_t sent, std::size_t frames) {
    return "durduruldu: " + std::to_string(sent) + "/" + std::to_string(frames);
}

std::string resend_port_lost_meaning(std::size_t sent, std::size_t frames) {
    return "port koptu: " + std::to_string(sent) + "/" + std::to_string(frames);
}

std::string resent_frame_meaning(std::string_view recorded_meaning) {
    return "Kayıttan: " + std::string(recorded_meaning);
}

}  // namespace vela
