#pragma once
// BiletAyarlama, the ticket settings window: the ticket's text lines, the
// eight printer font values of its four elements, the print preview and the
// transfer of the layout to one ticket machine.
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include "protocol/frame.h"

class QCheckBox;
class QLineEdit;

namespace vela {

struct TicketLayout;
class Windows;
namespace Ui {
class BiletAyarlama;
}

class BiletAyarlama : public QWidget {
    Q_OBJECT

public:
    explicit BiletAyarlama(Windows& windows);
    ~BiletAyarlama() override;

    // ESC ! and GS ! values per element, written by the font window through
    // setFonts().
    qint16 font_kurum_ismi_1 = 0;
    qint16 font_kurum_ismi_2 = 0;
    qint16 font_buton_ismi_1 = 0;
    qint16 font_buton_ismi_2 = 0;
    qint16 font_bilet_numarasi_1 = 0;
    qint16 font_bilet_numarasi_2 = 0;
    qint16 font_tarih_saat_1 = 0;
    qint16 font_tarih_saat_2 = 0;
    // Element the font window is editing: "kurum ismi", "buton ismi",
    // "bilet numarasi" or "tarih saat".
    QString aktif_font;

    // Stores the ESC ! and GS ! values of the element `key` names and shows
    // them in its two labels; returns false, storing nothing, for any other key.
    bool setFonts(const QString& key, qint16 esc, qint16 gs);

    // The line arrays: indices 0..3 (institution name) and 6, 7 (button
    // name); any other index has no control and gives nullptr.
    QCheckBox* Check1(int index) const;
    QLineEdit* Text1(int index) const;

protected:
    void closeEvent(QCloseEvent* event) override;  // ends the program

private:
    const std::unique_ptr<Ui::BiletAyarlama> ui;

    TicketLayout layout() const;
    void showFontWindow(const QString& element);
    void showPreview();
    void sendTicket();
    // Nothing is sent: the main window records the refusal and shows it here.
    void refuse(const std::string& message);
    // Writes the frames on the main window's port without touching its
    // sent-bytes display.
    void Bilet_Komut_Gonder(const Sequence& frames);

    Windows& windows_;
};

}  // namespace vela
