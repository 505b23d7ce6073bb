#pragma once
// What every command panel does around its frames: a click reads the
// button's fields in order, then either hands the frames to Data_Gonder or
// hands on the first refusal and sends nothing.
#include <QGroupBox>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>

#include "protocol/field_value.h"
#include "protocol/frame.h"

class QAbstractButton;
class QLabel;
class QLineEdit;

namespace vela {

// An input field and the caption its refusal names.
struct Field {
    const QLineEdit* text;
    const QLabel* caption;
};

class DevicePanel : public QGroupBox {
    Q_OBJECT

public:
    explicit DevicePanel(QWidget* parent = nullptr);

signals:
    // Frames ready for Data_Gonder; `command` is the clicked button's caption
    // with its blanks folded ("Bilet Gönder 1. Komut").
    void send(const vela::Sequence& frames, const QString& command);
    // The refusal to record and show instead of sending.
    void refused(const QString& command, const QString& message);

protected:
    // A click on `button` reads one field per parameter of `build`, in
    // order (a Byte as 0..255, a 16-bit number as 0..65535), and sends its
    // frame.
    template <class... Values, class... Inputs>
    requires(sizeof...(Values) == sizeof...(Inputs)) void onClick(QAbstractButton* button, Frame (*build)(Values...),
                                                                  Inputs... inputs) {
        onClick(button, [build, inputs...](FieldReader& fields) {
            // Braces evaluate the reads from left to right.
            const std::tuple<Values...> values{read<Values>(fields, inputs)...};
            return fields.result(std::apply(build, values));
        });
    }
    // A click on `button` runs read(fields), which reads the fields in order
    // and returns the frame (or frames) to send.
    void onClick(QAbstractButton* button, std::function<Result<Frame>(FieldReader&)> read);
    void onClick(QAbstractButton* button, std::function<Result<Sequence>(FieldReader&)> read);

    // Sends the frames in the name of `button`, or hands on why not.
    void run(QAbstractButton* button, const Result<Sequence>& frames);

    template <class Value>
    static Value read(FieldReader& fields, const Field& input);
    static std::string text(const QLineEdit* field);
    static std::string caption(const Field& input);
};

template <>
Byte DevicePanel::read<Byte>(FieldReader& fields, const Field& input);
template <>
std::uint16_t DevicePanel::read<std::uint16_t>(FieldReader& fields, const Field& input);

}  // namespace vela
