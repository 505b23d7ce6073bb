#pragma once
// Records the message boxes, beeps and program ends of the code under test
// instead of showing a modal box or exiting.
#include <QStringList>

#include "ui/feedback.h"

namespace vela::test {

struct FeedbackRecorder : Feedback::Observer {
    FeedbackRecorder() { Feedback::setObserver(this); }
    ~FeedbackRecorder() override { Feedback::setObserver(nullptr); }
    void message(const QString& text) override { messages << text; }
    void beep() override { ++beeps; }
    void endProgram() override { ++ends; }
    void clear() {
        messages.clear();
        beeps = ends = 0;
    }

    QStringList messages;
    int beeps = 0;
    int ends = 0;
};

}  // namespace vela::test
