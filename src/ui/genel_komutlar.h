#pragma once
// "GENEL KOMUTLAR:": the global reset and the address load, commands that
// belong to no single device type.
#include <QWidget>
#include <memory>

#include "protocol/frame.h"

namespace vela {

namespace Ui {
class GenelKomutlar;
}

class GenelKomutlar : public QWidget {
    Q_OBJECT

public:
    explicit GenelKomutlar(QWidget* parent = nullptr);
    ~GenelKomutlar() override;

signals:
    // Frames ready for Data_Gonder.
    void send(const vela::Sequence& frames);

private:
    void Command3_Click();
    void Adres_Yukle_Click();

    std::unique_ptr<Ui::GenelKomutlar> ui;
};

}  // namespace vela
