#include "ui/hat_durumu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/line_status_model.h"
#include "ui/line_watch.h"
#include "ui/plain_cell_delegate.h"
#include "ui/plain_text.h"

namespace vela {

const QString HatDurumu::kNotReported = QStringLiteral(
    "Adaptörün sürücüsü hata sayaçlarını bildirmiyor (TIOCGICOUNT yok: sanal hat ya da bazı USB adaptörleri) "
    "ya da port kapalı.");

namespace {

QLabel* valueLabel(QFormLayout* form, const QString& caption) {
    QLabel* value = plainLabel({});
    // A fixed size: a new count repaints the label alone, without laying the window out again.
    value->setFixedSize(value->fontMetrics().horizontalAdvance(QStringLiteral("%100.0 (19200 baud)")),
                        value->fontMetrics().height());
    value->setAccessibleName(caption);
    form->addRow(caption + QStringLiteral(":"), value);
    return value;
}

}  // namespace

HatDurumu::HatDurumu(LineWatch& watch, QWidget* parent)
    : QWidget(parent, Qt::Window), watch_(watch), model_(new LineStatusModel(this)) {
    setObjectName(QStringLiteral("HatDurumu"));
    setWindowTitle(QStringLiteral("Hat Durumu"));
    auto* layout = new QVBoxLayout(this);
    QLabel* note = plainLabel(
        QStringLiteral("Protokol hangi komutların cevaplandığını söylemez: \"sessiz\" bir "
                       "cihaz arızalı demek değildir."));
    note->setWordWrap(true);
    layout->addWidget(note);

    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("Cihazlar"));
    table_->setAccessibleName(QStringLiteral("Cihazlar"));
    table_->setModel(model_);
    table_->setItemDelegate(new PlainCellDelegate(table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    layout->addWidget(table_, 1);

    auto* groups = new QHBoxLayout;
    auto* line = new QGroupBox(QStringLiteral("Hat"));
    auto* lineForm = new QFormLayout(line);
    const QString lineCaptions[] = {QStringLiteral("Gönderilen bayt"), QStringLiteral("Gelen bayt"),
                                    QStringLiteral("Geçerli çerçeve"), QStringLiteral("Çerçeve dışı bayt"),
                                    QStringLiteral("Hat yükü (son 10 sn)")};
    for (std::size_t i = 0; i < lineCounts_.size(); ++i) lineCounts_[i] = valueLabel(lineForm, lineCaptions[i]);
    auto* errors = new QGroupBox(QStringLiteral("Adaptör hataları (port açıldığından beri)"));
    auto* errorForm = new QFormLayout(errors);
    const QString errorCaptions[] = {QStringLiteral("Çerçeve hatası"), QStringLiteral("Eşlik hatası"),
                                     QStringLiteral("Taşma"), QStringLiteral("Tampon taşması"),
                                     QStringLiteral("Kesme")};
    for (std::size_t i = 0; i < errorCounts_.size(); ++i) errorCounts_[i] = valueLabel(errorForm, errorCaptions[i]);
    groups->addWidget(line);
    groups->addWidget(errors);
    layout->addLayout(groups);

    auto* controls = new QHBoxLayout;
    const QString windowCaption = QStringLiteral("Cevap penceresi");
    auto* windowLabel = new QLabel(windowCaption + QStringLiteral(":"));
    answerWindow_ = new QSpinBox;
    answerWindow_->setObjectName(QStringLiteral("CevapPenceresi"));
    answerWindow_->setAccessibleName(windowCaption);
    answerWindow_->setRange(10, 10000);
    answerWindow_->setSingleStep(50);
    answerWindow_->setSuffix(QStringLiteral(" ms"));
    answerWindow_->setValue(static_cast<int>(AnswerRule::kDefaultWindow.count()));
    windowLabel->setBuddy(answerWindow_);
    reset_ = new QPushButton(QStringLiteral("Sıfırla"));
    reset_->setObjectName(QStringLiteral("Sifirla"));
    reset_->setAccessibleName(reset_->text());
    controls->addWidget(windowLabel);
    controls->addWidget(answerWindow_);
    controls->addStretch();
    controls->addWidget(reset_);
    layout->addLayout(controls);

    auto* copy = new QAction(QStringLiteral("Tabloyu Kopyala"), this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(copy);
    connect(copy, &QAction::triggered, this, &HatDurumu::copyTable);
    connect(answerWindow_, &QSpinBox::valueChanged, this,
            [this](int ms) { watch_.setAnswerWindow(std::chrono::milliseconds(ms)); });
    connect(reset_, &QPushButton::clicked, this, [this] {
        watch_.reset();
        refresh();  // the technician sees the counts start again at once
    });
    connect(&watch_, &LineWatch::changed, this, &HatDurumu::lineChanged);
    pending_.setSingleShot(true);
    connect(&pending_, &QTimer::timeout, this, &HatDurumu::refresh);
    ageTick_.setInterval(1000);
    connect(&ageTick_, &QTimer::timeout, this, &HatDurumu::refreshSoon);
    resize(900, 520);
}

HatDurumu::~HatDurumu() = default;

void HatDurumu::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ageTick_.start();
    refresh();
}

void HatDurumu::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    ageTick_.stop();
    pending_.stop();
}

// News after a quiet spell is shown at once, whatever the ages' refresh did
// meanwhile; news on a busy line waits for the least gap.
void HatDurumu::lineChanged() {
    const bool quiet = !sinceChange_.isValid() || sinceChange_.elapsed() >= kLeastRefreshGapMs;
    sinceChange_.start();
    if (!isVisible()) return;
    if (!quiet) {
        refreshSoon();
        return;
    }
    pending_.stop();
    refresh();
}

void HatDurumu::refreshSoon() {
    if (!isVisible() || pending_.isActive()) return;
    const qint64 since = sinceRefresh_.isValid() ? sinceRefresh_.elapsed() : kLeastRefreshGapMs;
    if (since >= kLeastRefreshGapMs) {
        refresh();
    } else {
        pending_.start(static_cast<int>(kLeastRefreshGapMs - since));
    }
}

void HatDurumu::refresh() {
    sinceRefresh_.start();
    const LineStatus& status = watch_.status();
    const LineStatus::Time now = LineWatch::timeOf(LineWatch::Moment::clock::now());
    model_->show(status.devices(), now);
    const LineTotals& totals = status.totals();
    const std::uint64_t counts[] = {totals.bytes_sent, totals.bytes_received, totals.frames_received,
                                    totals.bytes_outside_frames};
    for (std::size_t i = 0; i < std::size(counts); ++i) lineCounts_[i]->setText(QString::number(counts[i]));
    // "%0,4 (9600 baud)": the percent sign before the number and a decimal
    // comma, as Turkish writes a share.
    const QString load = QString::number(status.load_percent(now, watch_.baudRate()), 'f', 1).replace(u'.', u',');
    lineCounts_[4]->setText(QStringLiteral("%") + load + QStringLiteral(" (%1 baud)").arg(watch_.baudRate()));
    const std::optional<AdapterErrors> errors = watch_.adapterErrors();
    const std::uint64_t values[] = {errors ? errors->framing : 0, errors ? errors->parity : 0,
                                    errors ? errors->overrun : 0, errors ? errors->buffer_overrun : 0,
                                    errors ? errors->breaks : 0};
    for (std::size_t i = 0; i < errorCounts_.size(); ++i) {
        errorCounts_[i]->setText(errors ? QString::number(values[i]) : QStringLiteral("—"));
        errorCounts_[i]->setToolTip(errors ? QString() : kNotReported);
    }
}

void HatDurumu::copyTable() { QApplication::clipboard()->setText(model_->tabSeparated()); }

}  // namespace vela
