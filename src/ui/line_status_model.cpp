#include "ui/line_status_model.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

#include "protocol/monitor.h"
#include "record/session_record.h"

namespace vela {
namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;
using std::chrono::seconds;

const QString kHeaders[LineStatusModel::kColumns] = {
    QStringLiteral("Cihaz"),
    QStringLiteral("Gönderilen"),
    QStringLiteral("Duyulan"),
    QStringLiteral("Son gönderilen"),
    QStringLiteral("Son duyulan"),
    QStringLiteral("Son duyulma"),
    QStringLiteral("Cevaplar (cevaplanan/gönderilen; en az/ortanca/en çok)")};

QString frameText(const Frame& frame, const QString& meaning) {
    return QStringLiteral("%1 (kod %2)").arg(meaning).arg(frame[1]);
}

QString ageText(LineStatus::Time age) {
    const auto s = duration_cast<seconds>(age).count();
    if (s < 60) return QStringLiteral("%1 sn önce").arg(s);
    if (s < 3600) return QStringLiteral("%1 dk önce").arg(s / 60);
    return QStringLiteral("%1 sa önce").arg(s / 3600);
}

QString msText(LineStatus::Time t) { return QString::number(duration_cast<milliseconds>(t).count()); }

// What ageText shows, as a number that changes when the text does.
std::int64_t ageStep(LineStatus::Time age) {
    const auto s = duration_cast<seconds>(age).count();
    return s < 60 ? s : s < 3600 ? 60 + s / 60 : 120 + s / 3600;
}

// The columns whose text differs between two states of one device, one bit each.
unsigned changedColumns(const DeviceStatus& before, LineStatus::Time thenNow, const DeviceStatus& after,
                        LineStatus::Time now) {
    using C = LineStatusModel::Column;
    const auto bit = [](bool changed, int column) { return changed ? 1U << column : 0U; };
    const bool sent = before.sent != after.sent, heard = before.heard != after.heard;
    const bool aged = before.last_heard_at && after.last_heard_at &&
                      ageStep(thenNow - *before.last_heard_at) != ageStep(now - *after.last_heard_at);
    return bit(sent, C::SentColumn) | bit(heard, C::HeardColumn) |
           bit(before.last_sent != after.last_sent || before.last_sent_meaning != after.last_sent_meaning,
               C::LastSentColumn) |
           bit(before.last_heard != after.last_heard, C::LastHeardColumn) | bit(heard || aged, C::HeardAtColumn) |
           bit(sent || before.answered != after.answered, C::AnswersColumn);
}

}  // namespace

// Only the cells whose text changed are repainted: painting the table is
// most of what the open window costs on a busy line.
void LineStatusModel::show(std::vector<DeviceStatus> rows, LineStatus::Time now) {
    const auto sameDevice = [](const DeviceStatus& a, const DeviceStatus& b) {
        return a.device == b.device && a.number == b.number;
    };
    if (!std::equal(rows.begin(), rows.end(), rows_.begin(), rows_.end(), sameDevice)) {
        beginResetModel();
        rows_ = std::move(rows);
        now_ = now;
        clockNow_ = QTime::currentTime();
        endResetModel();
        return;
    }
    std::vector<unsigned> changed(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) changed[i] = changedColumns(rows_[i], now_, rows[i], now);
    rows_ = std::move(rows);
    now_ = now;
    clockNow_ = QTime::currentTime();
    // One cell at a time: a view repaints a range of cells as its whole viewport.
    for (std::size_t row = 0; row < changed.size(); ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const QModelIndex cell = index(static_cast<int>(row), column);
            if (changed[row] & (1U << column)) emit dataChanged(cell, cell);
        }
    }
}

int LineStatusModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int LineStatusModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QString LineStatusModel::text(const DeviceStatus& row, int column) const {
    switch (column) {
    case DeviceColumn: return QString::fromStdString(status_device_name(row));
    case SentColumn: return QString::number(row.sent);
    case HeardColumn: return QString::number(row.heard);
    case LastSentColumn:
        return row.last_sent ? frameText(*row.last_sent, QString::fromStdString(row.last_sent_meaning)) : QString();
    case LastHeardColumn:
        return row.last_heard ? frameText(*row.last_heard,
                                          QString::fromStdString(recognised_meaning(decoded_sentence(*row.last_heard))))
                              : QString();
    case HeardAtColumn: {
        if (!row.last_heard_at) return row.sent > 0 ? kSilent : QString();
        const LineStatus::Time age = std::max(now_ - *row.last_heard_at, LineStatus::Time{});
        // From the local time read once a refresh: a time zone looked up for every cell painted costs.
        const QTime at = clockNow_.addMSecs(static_cast<int>(-(duration_cast<milliseconds>(age).count() % 86'400'000)));
        return at.toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" (") + ageText(age) + QStringLiteral(")");
    }
    case AnswersColumn: {
        if (row.sent == 0) return QString();
        QString answers = QStringLiteral("%1/%2").arg(row.answered).arg(row.sent);
        if (row.answered > 0)
            answers += QStringLiteral("; %1/%2/%3 ms")
                           .arg(msText(*row.least_reply), msText(*row.median_reply), msText(*row.most_reply));
        return answers;
    }
    default: return {};
    }
}

QVariant LineStatusModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const DeviceStatus& row = rows_[static_cast<std::size_t>(index.row())];
    const bool silent = row.sent > 0 && row.heard == 0;
    if (role == Qt::DisplayRole) return text(row, index.column());
    if (role == Qt::ForegroundRole && silent) return QBrush(QColor(0xb0, 0x50, 0x00));
    if (role == Qt::TextAlignmentRole && (index.column() == SentColumn || index.column() == HeardColumn))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant LineStatusModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns) return {};
    return kHeaders[section];
}

QString LineStatusModel::tabSeparated() const {
    QStringList lines;
    QStringList header;
    for (const QString& h : kHeaders) header << h;
    lines << header.join(u'\t');
    for (const DeviceStatus& row : rows_) {
        QStringList cells;
        for (int column = 0; column < kColumns; ++column) cells << text(row, column);
        lines << cells.join(u'\t');
    }
    return lines.join(u'\n') + u'\n';
}

}  // namespace vela
