#pragma once
// The rows of "Hat Durumu": one per device heard or addressed, formatted
// only for the rows a view asks for, so a refresh over every possible device
// stays cheap. A device addressed and never heard reads "sessiz", in colour.
#include <QAbstractTableModel>
#include <QTime>
#include <vector>

#include "record/line_status.h"

namespace vela {

class LineStatusModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        DeviceColumn,
        SentColumn,
        HeardColumn,
        LastSentColumn,
        LastHeardColumn,
        HeardAtColumn,
        AnswersColumn
    };
    static constexpr int kColumns = 7;
    static inline const QString kSilent = QStringLiteral("sessiz");

    using QAbstractTableModel::QAbstractTableModel;

    // The rows as they are `now` (the line's clock, for the ages).
    void show(std::vector<DeviceStatus> rows, LineStatus::Time now);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The table as tab-separated text under a header row, for a spreadsheet.
    QString tabSeparated() const;

private:
    QString text(const DeviceStatus& row, int column) const;

    std::vector<DeviceStatus> rows_;
    LineStatus::Time now_{};
    QTime clockNow_;  // the local time of day at `now_`
};

}  // namespace vela
