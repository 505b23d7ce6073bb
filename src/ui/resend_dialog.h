#pragma once
// The confirmation before a saved record's frames go on the bus again: what
// is sent to which devices and how long it takes, the choice between the
// recorded gaps and shortened long ones, whether the answers are compared
// with the recorded ones, "Gönder" and "Vazgeç". Behind a seam: tests answer
// it instead of a technician.
#include <QString>
#include <functional>
#include <optional>

#include "record/record_summary.h"

class QWidget;

namespace vela {

struct ResendChoice {
    ResendChoice(Gaps gaps = Gaps::AsRecorded, bool compare = false) : gaps(gaps), compare(compare) {}
    Gaps gaps;
    bool compare;  // "Gelenleri kayıtla karşılaştır"
};

class ResendDialog {
public:
    // Given the summary shown, the choice made, or nothing for "Vazgeç".
    using Answer = std::function<std::optional<ResendChoice>(const QString& summary)>;

    static std::optional<ResendChoice> ask(QWidget* parent, const QString& summary);

    // An empty answer restores the real dialog.
    static void setAnswer(Answer answer);
};

}  // namespace vela
