#pragma once
// What every command panel does around its frames: fields read as UTF-8 for
// the field-value rule, and a refusal shown instead of sending anything.
#include <optional>
#include <string>

#include "protocol/frame.h"
#include "protocol/result.h"

class QLabel;
class QLineEdit;
class QWidget;

namespace vela {

std::string fieldText(const QLineEdit* field);
std::string captionText(const QLabel* caption);

// The frames to hand to the transmit path, or nothing once the refusal has
// been shown to the technician.
std::optional<Sequence> acceptedFrames(QWidget* parent, const Result<Frame>& frame);
std::optional<Sequence> acceptedFrames(QWidget* parent, const Result<Sequence>& frames);

}  // namespace vela
