#include "ui/resend_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/plain_text.h"

namespace vela {

namespace {
ResendDialog::Answer& answer() {
    static ResendDialog::Answer given;
    return given;
}
}  // namespace

std::optional<ResendChoice> ResendDialog::ask(QWidget* parent, const QString& summary) {
    if (answer()) return answer()(summary);
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Kayıttan Gönder"));
    auto* layout = new QVBoxLayout(&dialog);
    QLabel* text = plainLabel(summary, &dialog);  // the file's name and its devices' names
    text->setWordWrap(true);
    layout->addWidget(text);
    QButtonGroup choice(&dialog);
    const std::pair<Gaps, QString> options[] = {
        {Gaps::AsRecorded, QStringLiteral("Kayıttaki aralıklarla gönder")},
        {Gaps::LongOnesShortened, QStringLiteral("1 saniyeden uzun beklemeleri 1 saniyeye kısalt")}};
    for (const auto& [gaps, caption] : options) {
        auto* option = new QRadioButton(caption, &dialog);
        choice.addButton(option, static_cast<int>(gaps));
        layout->addWidget(option);
    }
    choice.button(static_cast<int>(Gaps::AsRecorded))->setChecked(true);
    auto* compare = new QCheckBox(QStringLiteral("Gelenleri kayıtla karşılaştır"), &dialog);
    layout->addWidget(compare);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("Gönder"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Vazgeç"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return ResendChoice{static_cast<Gaps>(choice.checkedId()), compare->isChecked()};
}

void ResendDialog::setAnswer(Answer given) { answer() = std::move(given); }

}  // namespace vela
