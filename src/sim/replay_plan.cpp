#include "sim/replay_plan.h"

#include <algorithm>
#include <limits>

namespace vela::sim {
namespace {

// later - earlier, held within ±INT64_MAX so that its negation is one too.
std::int64_t gap_ms(std::int64_t earlier, std::int64_t later) {
    constexpr std::int64_t kLongest = std::numeric_limits<std::int64_t>::max();
    std::int64_t gap = 0;
    if (__builtin_sub_overflow(later, earlier, &gap)) return later > earlier ? kLongest : -kLongest;
    return std::max(gap, -kLongest);
}

}  // namespace

std::vector<ReplayStep> replay_plan(const std::vector<RecordedDelivery>& deliveries, double speed,
                                    std::chrono::milliseconds longest_wait) {
    using std::chrono::duration_cast;
    std::vector<ReplayStep> plan(deliveries.size());
    for (std::size_t i = 1; i < deliveries.size(); ++i) {
        const RecordedDelivery& previous = deliveries[i - 1];
        const RecordedDelivery& delivery = deliveries[i];
        if (!previous.at_ms || !delivery.at_ms) continue;
        const std::int64_t gap = gap_ms(*previous.at_ms, *delivery.at_ms);
        const std::string line = "satır " + std::to_string(delivery.line) + ": ";
        if (gap < 0) {
            // A clock step or the end of summer time: the order is all that is left.
            plan[i].notice = line + "zaman " + seconds_text(-gap) + " s geri gidiyor; teslim beklemeden oynatılıyor";
            continue;
        }
        // Compared before any conversion: a gap of centuries divided by a
        // small speed is beyond what nanoseconds hold.
        const std::chrono::duration<double, std::milli> wait = std::chrono::duration<double, std::milli>(gap) / speed;
        if (wait > longest_wait) {
            plan[i].wait = longest_wait;
            plan[i].notice = line + seconds_text(gap) + " s ara " + seconds_text(longest_wait.count()) +
                             " s'ye kısaltıldı (--max-gap)";
        } else {
            plan[i].wait = duration_cast<std::chrono::nanoseconds>(wait);
        }
    }
    return plan;
}

std::string waiting_notice(std::size_t played, std::size_t total, std::chrono::nanoseconds wait) {
    const auto seconds = std::chrono::round<std::chrono::seconds>(wait).count();
    return std::to_string(played) + "/" + std::to_string(total) + " teslim; sonraki " + std::to_string(seconds) +
           " s sonra";
}

std::string seconds_text(std::int64_t ms) {
    std::string text = std::to_string(ms / 1000);
    if (const std::int64_t fraction = ms % 1000; fraction != 0) {
        std::string digits = std::to_string(1000 + fraction).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += "." + digits;
    }
    return text;
}

}  // namespace vela::sim
