#pragma once
// "Hat Durumu", the line at a glance: every device heard or addressed with
// its answers, the line's counts and load, and the adapter's own error
// counters. It stays open beside the other windows and follows the line,
// refreshed once a second while the line is busy and at once when a frame
// comes after a quiet spell. Painting is most of what the open window costs
// at a full 19200-baud line: with cells painted in one call, 0.06-0.27
// points of a core at one refresh a second, 0.21-0.44 at two (bench_hat).
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <array>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;

namespace vela {

class LineStatusModel;
class LineWatch;

class HatDurumu : public QWidget {
    Q_OBJECT

public:
    static constexpr int kLeastRefreshGapMs = 1000;
    static const QString kNotReported;  // the tooltip of "—"

    HatDurumu(LineWatch& watch, QWidget* parent);
    ~HatDurumu() override;

    QTableView* table() const { return table_; }
    LineStatusModel& model() const { return *model_; }
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void lineChanged();
    void refreshSoon();  // now, or once the least gap since the last refresh has passed
    void copyTable();

    LineWatch& watch_;
    LineStatusModel* model_;
    QTableView* table_;
    QSpinBox* answerWindow_;
    QPushButton* reset_;
    std::array<QLabel*, 5> lineCounts_{};  // sent, received, frames, outside frames, load
    std::array<QLabel*, 5> errorCounts_{};
    QTimer pending_;  // a refresh held back to keep the least gap
    QTimer ageTick_;  // the ages go on while the line is quiet
    QElapsedTimer sinceRefresh_;
    QElapsedTimer sinceChange_;  // the line's last news
};

}  // namespace vela
