#include "ui/device_panel.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

namespace vela {

DevicePanel::DevicePanel(QWidget* parent) : QGroupBox(parent) {}

void DevicePanel::onClick(QAbstractButton* button, std::function<Result<Frame>(FieldReader&)> read) {
    connect(button, &QAbstractButton::clicked, this, [this, button, read] {
        FieldReader fields;
        const Result<Frame> frame = read(fields);
        run(button, frame ? Result<Sequence>(Sequence{Step{*frame}}) : Result<Sequence>(Refusal{frame.message()}));
    });
}

void DevicePanel::onClick(QAbstractButton* button, std::function<Result<Sequence>(FieldReader&)> read) {
    connect(button, &QAbstractButton::clicked, this, [this, button, read] {
        FieldReader fields;
        run(button, read(fields));
    });
}

void DevicePanel::run(QAbstractButton* button, const Result<Sequence>& frames) {
    const QString command = button->text().simplified();
    if (!frames) {
        emit refused(command, QString::fromStdString(frames.message()));
        return;
    }
    emit send(*frames, command);
}

template <>
Byte DevicePanel::read<Byte>(FieldReader& fields, const Field& input) {
    return fields.byte(text(input.text), caption(input));
}

template <>
std::uint16_t DevicePanel::read<std::uint16_t>(FieldReader& fields, const Field& input) {
    return fields.word(text(input.text), caption(input));
}

std::string DevicePanel::text(const QLineEdit* field) { return field->text().toStdString(); }

std::string DevicePanel::caption(const Field& input) { return input.caption->text().toStdString(); }

}  // namespace vela
