#include "ui/panel_fields.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/feedback.h"

namespace vela {

std::string fieldText(const QLineEdit* field) { return field->text().toStdString(); }

std::string captionText(const QLabel* caption) { return caption->text().toStdString(); }

std::optional<Sequence> acceptedFrames(QWidget* parent, const Result<Frame>& frame) {
    if (!frame) {
        Feedback::message(parent, QString::fromStdString(frame.message()));
        return std::nullopt;
    }
    return Sequence{Step{*frame}};
}

std::optional<Sequence> acceptedFrames(QWidget* parent, const Result<Sequence>& frames) {
    if (!frames) {
        Feedback::message(parent, QString::fromStdString(frames.message()));
        return std::nullopt;
    }
    return *frames;
}

}  // namespace vela
