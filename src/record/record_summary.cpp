#include "record/record_summary.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>

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
        std::int64_t gap = 0;
        if (recorded_ms[i - 1] && recorded_ms[i] && __builtin_sub_overflow(*recorded_ms[i], *recorded_ms[i - 1], &gap))
            gap = *recorded_ms[i] > *recorded_ms[i - 1] ? std::numeric_limits<std::int64_t>::max() : 0;
        std::chrono::milliseconds wait{std::max<std::int64_t>(gap, 0)};
        if (choice == Gaps::LongOnesShortened) wait = std::min(wait, kLongestShortenedGap);
        gaps.push_back(wait);
    }
    return gaps;
}

// Sums and conversions stop at the longest time there is instead of wrapping.
std::chrono::milliseconds run_duration(std::span<const std::chrono::milliseconds> gaps, std::size_t frames, int baud) {
    using std::chrono::microseconds;
    using std::chrono::milliseconds;
    constexpr auto kLongest = std::numeric_limits<std::int64_t>::max();
    if (frames == 0 || baud <= 0) return {};
    const std::int64_t frame_us = 70'000'000 / baud;
    std::int64_t total_us = frame_us;
    for (const milliseconds gap : gaps) {
        std::int64_t gap_us = 0;
        if (__builtin_mul_overflow(gap.count(), std::int64_t{1000}, &gap_us)) gap_us = kLongest;
        if (__builtin_add_overflow(total_us, std::max(gap_us, frame_us), &total_us)) return milliseconds{kLongest};
    }
    return std::chrono::round<milliseconds>(microseconds{total_us});
}

std::string duration_text(std::chrono::milliseconds duration) {
    const long long ms = std::max<long long>(duration.count(), 0);
    const auto rounded = [ms](long long unit) { return ms / unit + (ms % unit >= unit / 2 ? 1 : 0); };
    char text[48];
    if (const long long tenths = rounded(100); tenths < 100) {
        std::snprintf(text, sizeof text, "%lld,%lld sn", tenths / 10, tenths % 10);
    } else if (const long long s = rounded(1000); s < 60) {
        std::snprintf(text, sizeof text, "%lld sn", s);
    } else if (s < 3600) {
        std::snprintf(text, sizeof text, "%lld dk %02lld sn", s / 60, s % 60);
    } else {
        const long long minutes = s / 60 + (s % 60 >= 30 ? 1 : 0);
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

std::string resend_stuck_meaning(std::size_t sent, std::size_t frames) {
    return "cihaz veri almıyor: " + std::to_string(sent) + "/" + std::to_string(frames);
}

std::string resent_frame_meaning(std::string_view recorded_meaning) {
    return "Kayıttan: " + std::string(recorded_meaning);
}

std::string record_unreadable_message(std::string_view path, std::string_view reason) {
    return "Kayıt okunamadı: " + std::string(path) + " (" + std::string(reason) + ").";
}

std::string record_refused_message(std::string_view path, std::string_view reasons) {
    return "Kayıt gönderilmiyor: " + std::string(path) + "\n" + std::string(reasons);
}

}  // namespace vela
