#include "ui/windows.h"

#include "ui/ana_menu.h"
#include "ui/bilet_ayarlama.h"
#include "ui/com_select.h"
#include "ui/font_ayarla.h"

namespace vela {

Windows::Windows() = default;

// The main window goes last: the other windows write to its port.
Windows::~Windows() {
    fontAyarla_.reset();
    biletAyarlama_.reset();
    comSelect_.reset();
    anaMenu_.reset();
}

com_select& Windows::comSelect() {
    if (!comSelect_) comSelect_ = std::make_unique<com_select>(*this);
    return *comSelect_;
}

AnaMenu& Windows::anaMenu() {
    if (!anaMenu_) anaMenu_ = std::make_unique<AnaMenu>(*this);
    return *anaMenu_;
}

BiletAyarlama& Windows::biletAyarlama() {
    if (!biletAyarlama_) biletAyarlama_ = std::make_unique<BiletAyarlama>(*this);
    return *biletAyarlama_;
}

Font_Ayarla& Windows::fontAyarla() {
    if (!fontAyarla_) fontAyarla_ = std::make_unique<Font_Ayarla>(*this);
    return *fontAyarla_;
}

}  // namespace vela
