#include "ui/check_result_dialog.h"

#include <algorithm>

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/plain_text.h"

namespace vela {

const QStringList& CheckResultDialog::columns() {
    static const QStringList names = {QStringLiteral("Fark"),         QStringLiteral("Gönderilen"),
                                      QStringLiteral("Cihaz"),        QStringLiteral("Kayıttaki cevap"),
                                      QStringLiteral("Gelen cevap"),  QStringLiteral("Kayıttaki gecikme"),
                                      QStringLiteral("Gelen gecikme")};
    return names;
}

CheckResultDialog::CheckResultDialog(const QString& verdict, const std::vector<Row>& rows, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(static_cast<int>(rows.size()), columns().size(), this)) {
    setObjectName(QStringLiteral("KarsilastirmaSonucu"));
    setWindowTitle(QStringLiteral("Kayıtla Karşılaştır"));
    auto* layout = new QVBoxLayout(this);
    QLabel* shown = plainLabel(verdict, this);
    shown->setObjectName(QStringLiteral("Sonuc"));
    layout->addWidget(shown);
    table_->setHorizontalHeaderLabels(columns());
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    // A table item shows its text as it is, never as markup.
    for (int r = 0; r < table_->rowCount(); ++r) {
        for (int c = 0; c < table_->columnCount(); ++c) {
            table_->setItem(r, c, new QTableWidgetItem(rows[static_cast<std::size_t>(r)].value(c)));
        }
    }
    table_->resizeColumnsToContents();
    table_->setVisible(!rows.empty());
    layout->addWidget(table_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* copy = buttons->addButton(QStringLiteral("Kopyala"), QDialogButtonBox::ActionRole);
    copy->setEnabled(!rows.empty());
    buttons->addButton(QStringLiteral("Kapat"), QDialogButtonBox::RejectRole);
    connect(copy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(tableText()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // Wide enough to show every column, within the screen: the differences
    // are read at a glance, not scrolled to.
    if (!rows.empty()) {
        const int wanted = table_->horizontalHeader()->length() + table_->frameWidth() * 2 +
                           layout->contentsMargins().left() + layout->contentsMargins().right();
        const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        resize(std::min(wanted, screen->availableGeometry().width() * 9 / 10), sizeHint().height());
    }
}

QString CheckResultDialog::tableText() const {
    QString text = columns().join(u'\t') + u'\n';
    for (int r = 0; r < table_->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table_->columnCount(); ++c) cells << table_->item(r, c)->text();
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

}  // namespace vela
