#pragma once
// The program's four windows. Each is created on first use and afterwards only
// hidden and shown, so every field, check box and label keeps its state for
// the whole run.
#include <memory>

namespace vela {

// The windows keep the names of the forms they reproduce, in the three styles
// those forms were named in: lower case with an underscore (com_select), Turkish
// words run together (AnaMenu, BiletAyarlama), Turkish words joined by an
// underscore (Font_Ayarla). A technician who knows the forms finds each window
// by the name it always had.
class com_select;
class AnaMenu;
class BiletAyarlama;
class Font_Ayarla;

class Windows {
public:
    Windows();
    ~Windows();
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    com_select& comSelect();
    AnaMenu& anaMenu();  // its first use loads it (one beep)
    bool anaMenuLoaded() const { return anaMenu_ != nullptr; }
    BiletAyarlama& biletAyarlama();
    Font_Ayarla& fontAyarla();

private:
    std::unique_ptr<com_select> comSelect_;
    std::unique_ptr<AnaMenu> anaMenu_;
    std::unique_ptr<BiletAyarlama> biletAyarlama_;
    std::unique_ptr<Font_Ayarla> fontAyarla_;
};

}  // namespace vela
