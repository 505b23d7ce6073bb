#include "sim/replay_file.h"

#include "record/record_file.h"

namespace vela::sim {

Result<std::vector<RecordedDelivery>> read_replay_file(const std::string& path) {
    const Result<std::string> text = record_file_text(path);
    if (!text) return Refusal{"Oturum kaydı okunamadı: " + path + " (" + text.message() + ")"};
    Result<std::vector<RecordedDelivery>> deliveries = replay_deliveries(read_record(*text));
    if (!deliveries) return Refusal{"Oturum kaydı oynatılmıyor: " + path + "\n" + deliveries.message()};
    return deliveries;
}

}  // namespace vela::sim
