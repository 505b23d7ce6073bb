#pragma once
// Font_Ayarla, the printer font window: turns the chosen print modes and
// character size into the ESC ! and GS ! values of the ticket element named by
// BiletAyarlama::aktif_font and shows them in both windows.
#include <QWidget>
#include <memory>

namespace vela {

class Windows;
namespace Ui {
class Font_Ayarla;
}

class Font_Ayarla : public QWidget {
    Q_OBJECT

public:
    explicit Font_Ayarla(Windows& windows);
    ~Font_Ayarla() override;

protected:
    // The title bar's close returns like "Geri Dön": nothing else would be
    // left on screen.
    void closeEvent(QCloseEvent* event) override;

private:
    void fontSec();
    void geriDon();

    const std::unique_ptr<Ui::Font_Ayarla> ui;
    Windows& windows_;
};

}  // namespace vela
