#pragma once
// The confirmation before a saved record's frames go on the bus again: what
// is sent to which devices and how long it takes, the choice between the
// recorded gaps and shortened long ones, "Gönder" and "Vazgeç". Behind a
// seam: tests answer it instead of a technician.
#include <QString>
#include <functional>
#include <optional>

#include "record/record_summary.h"

class QWidget;

namespace vela {

class ResendDialog {
public:
    // Given the summary shown, the gaps chosen, or nothing for "Vazgeç".
    using Answer = std::function<std::optional<Gaps>(const QString& summary)>;

    static std::optional<Gaps> ask(QWidget* parent, const QString& summary);

    // An empty answer restores the real dialog.
    static void setAnswer(Answer answer);
};

}  // namespace vela
